#include "rtf/safe_html.h"

#include "rtf_test_support.h"

#include <gtest/gtest.h>

namespace parcelo::test {
namespace {

struct SanitizeCase {
    const char* name;
    const char* html;
    const char* safe;
};

class SanitizeHtmlTest : public testing::TestWithParam<SanitizeCase> {};

TEST_P(SanitizeHtmlTest, RemovesOutsideReferences) {
    const auto keep = [](const QString& source) { return source.startsWith(u"cid:ok"); };
    EXPECT_EQ(SanitizeHtml(QString::fromUtf8(GetParam().html), keep).toStdString(),
              GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, SanitizeHtmlTest,
    testing::Values(
        SanitizeCase{"text_untouched", "<p class=x>a &amp; b</p>", "<p class=\"x\">a &amp; b</p>"},
        SanitizeCase{"quotes_kept", "<a href='u' title=\"t\">l</a>",
                     "<a href='u' title=\"t\">l</a>"},
        SanitizeCase{"kept_image", "<img src=\"cid:ok1\" width=3>",
                     "<img src=\"cid:ok1\" width=\"3\">"},
        SanitizeCase{"remote_image_becomes_alt",
                     "<img src=\"http://t.example/x.gif\" alt=\"Logo &amp; co\">",
                     "[Logo &amp; co]"},
        SanitizeCase{"image_without_alt_goes", "a<IMG SRC=file:///etc/x.png>b", "ab"},
        SanitizeCase{"cid_alt_not_shown", "<img src=\"cid:gone\" alt=\"cid:gone\">", ""},
        SanitizeCase{"link_dropped", "<link rel=stylesheet href=\"x.css\"><p>t", "<p>t"},
        SanitizeCase{"base_and_meta_dropped", "<base href=\"file:///\"><meta http-equiv=refresh>t",
                     "t"},
        SanitizeCase{"script_dropped_whole", "a<script>document.write('x')</script>b", "ab"},
        SanitizeCase{"comments_dropped", "a<!--[if !mso]><style>x{}</style><![endif]-->b", "ab"},
        SanitizeCase{"doctype_dropped", "<!DOCTYPE html><?xml version=\"1.0\"?>t", "t"},
        SanitizeCase{"background_attribute_dropped", "<td background=\"bg.gif\" bgcolor=red>",
                     "<td bgcolor=\"red\">"},
        SanitizeCase{"style_url_neutralized",
                     "<p style=\"background:url('x.png') #fff; color:red\">",
                     "<p style=\"background:none #fff; color:red\">"},
        SanitizeCase{"style_block_neutralized",
                     "<style>@import url(a.css); p{background-image:URL(b.png)}</style>",
                     "<style> p{background-image:none}</style>"},
        SanitizeCase{"import_lookalikes_removed",
                     "<style>@x-import \"a.css\";@\\69mport \"b.css\";@media print{}</style>",
                     "<style>@media print{}</style>"},
        SanitizeCase{"src_on_other_elements_dropped",
                     "<input type=image src=\"x.png\"><video src=v>", ""},
        SanitizeCase{"event_handlers_dropped", "<body onload=\"x()\" lang=de>",
                     "<body lang=\"de\">"},
        SanitizeCase{"stray_less_than", "a < b <3", "a &lt; b &lt;3"},
        SanitizeCase{"unterminated_comment", "a<!-- never closed", "a"},
        SanitizeCase{"self_closing", "<br/><o:p></o:p>", "<br /><o:p></o:p>"}),
    CaseName());

TEST(SanitizeHtml, DeepTableNestingIsFlattened) {
    QString html;
    for (int i = 0; i < 40; ++i)
        html += "<table><tr><td>";
    html += "deep";
    for (int i = 0; i < 40; ++i)
        html += "</td></tr></table>";
    const QString safe = SanitizeHtml(html, {});
    EXPECT_EQ(safe.count("<table>"), 12);
    EXPECT_EQ(safe.count("</table>"), 12);
    EXPECT_TRUE(safe.contains("deep"));
}

}  // namespace
}  // namespace parcelo::test
