#include "body/html/safe_html.h"

#include "body_test_support.h"

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
    const auto keep = [](const QString& source, const QString&) {
        return source.startsWith(u"cid:ok");
    };
    EXPECT_EQ(SanitizeHtml(QString::fromUtf8(GetParam().html), keep).toStdString(),
              GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, SanitizeHtmlTest,
    testing::Values(
        SanitizeCase{"text_untouched", "<p class=x>a &amp; b</p>", "<p class=\"x\">a &amp; b</p>"},
        SanitizeCase{"lone_break_is_one_empty_line",
                     "<p>a<br></p><P> <BR> </P><div><p>b</p><br/></div><div><br><br></div>"
                     "<div>c<br><br></div><div><span>d<br>\n</span></div>",
                     "<p>a</p><P>&nbsp;</P><div><p>b</p><br /></div><div><br></div>"
                     "<div>c<br></div><div><span>d</span></div>"},
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
        SanitizeCase{"comments_dropped",
                     "a<!--[if !mso]><style>b{color:red}</style><![endif]--><b>b</b>", "a<b>b</b>"},
        SanitizeCase{"doctype_dropped", "<!DOCTYPE html><?xml version=\"1.0\"?>t", "t"},
        SanitizeCase{"background_attribute_dropped", "<td background=\"bg.gif\" bgcolor=red>",
                     "<td bgcolor=\"red\">"},
        SanitizeCase{"style_url_neutralized",
                     "<p style=\"background:url('x.png') #fff; color:red\">",
                     "<p style=\"background:none #fff;color:red\">"},
        SanitizeCase{
            "style_functions_and_escapes_dropped",
            "<p style=\"width:expression(alert(1));color:\\72 ed;-qt-fg-texture-cachekey:1;"
            "behavior:url(#x);margin:0\">",
            "<p style=\"margin:0\">"},
        SanitizeCase{"style_entities_read", "<p style=\"font-family:&quot;A B&quot;;color:red\">",
                     "<p style='font-family:\"A B\";color:red'>"},
        SanitizeCase{
            "style_sheet_cleaned",
            "<style><!--\n@import url(a.css); p{background:URL(b.png) red;"
            "width:expression(alert(1));behavior:url(#default#VML);color:blue}\n--></style>"
            "<p>t",
            "<p style=\"background:none red;color:blue\">t"},
        SanitizeCase{"import_lookalikes_removed",
                     "<style>@x-import \"a.css\";@\\69mport \"b.css\";@media print{p{color:red}}"
                     "p{color:blue}</style><p>t",
                     "<p style=\"color:blue\">t"},
        SanitizeCase{"src_on_other_elements_dropped",
                     "<input type=image src=\"x.png\"><video src=v>", ""},
        SanitizeCase{"event_handlers_dropped", "<body onload=\"x()\" lang=de>",
                     "<body lang=\"de\">"},
        SanitizeCase{"stray_less_than", "a < b <3", "a &lt; b &lt;3"},
        SanitizeCase{"unterminated_comment", "a<!-- never closed", "a"},
        SanitizeCase{"self_closing", "<br/><o:p></o:p>", "<br /><o:p></o:p>"}),
    CaseName());

// Style sheets end up in the style attributes of the elements they apply to, in the forms
// that Qt reads; the cases are what Outlook and Word write.
class StyleSheetTest : public testing::TestWithParam<SanitizeCase> {};

TEST_P(StyleSheetTest, AppliesAsABrowserWould) {
    EXPECT_EQ(SanitizeHtml(QString::fromUtf8(GetParam().html), {}).toStdString(), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, StyleSheetTest,
    testing::Values(
        SanitizeCase{
            "comment_markers_are_no_comments",
            "<style><!--\np.MsoNormal, li.MsoNormal\n\t{margin:0in;\n\tfont-size:11.0pt;"
            "\n\tmso-fareast-language:EN-US;}\n--></style><p class=MsoNormal>t</p><p>u</p>",
            "<p class=\"MsoNormal\" style=\"margin:0px;font-size:11.0pt\">t</p><p>u</p>"},
        SanitizeCase{"class_names_ignore_case",
                     "<style>span.EmailStyle17{color:#1F497D}</style>"
                     "<span class=emailstyle17>t</span>",
                     "<span class=\"emailstyle17\" style=\"color:#1F497D\">t</span>"},
        SanitizeCase{"unreadable_rules_skipped_alone",
                     "<style>@page WordSection1 {size:612.0pt 792.0pt;} v\\:* {color:red}\n"
                     "@list l0:level1 {mso-level-text:x;} } div.WordSection1 {page:WordSection1;}"
                     " div {margin-left:.5in}</style><div class=WordSection1>t</div>",
                     "<div class=\"WordSection1\" style=\"margin-left:48px\">t</div>"},
        SanitizeCase{"cascade_by_specificity_then_order",
                     "<style>p{color:green !important} p.x{color:blue} .x{color:red}</style>"
                     "<p class=x style=\"color:black\">t",
                     "<p class=\"x\" style=\"color:red;color:blue;color:black;color:green "
                     "!important\">t"},
        SanitizeCase{
            "ancestors",
            "<style>td p{margin:0} div > span{color:red} #Main a:link{color:blue} "
            "a:hover{color:red}</style><table><tr><td><p>a</td></tr></table><p>b</p>"
            "<div id=main><span>c</span><b><span>d</span></b><a href=x>e</a><a>f</a></div>",
            "<table><tr><td><p style=\"margin:0\">a</td></tr></table><p>b</p><div "
            "id=\"main\"><span style=\"color:red\">c</span><b><span>d</span></b><a "
            "href=\"x\" style=\"color:blue\">e</a><a>f</a></div>"},
        SanitizeCase{"implied_end_tags",
                     "<style>li li{color:red} p p{color:red}</style><ul><li>a<li>b</ul><p>c<p>d",
                     "<ul><li>a<li>b</ul><p>c<p>d"},
        SanitizeCase{
            "lengths_in_pixels",
            "<p style=\"margin:0cm 0cm .0001pt;text-indent:-18.0pt;margin-left:1in;"
            "padding:2mm 1pc;line-height:1.5em\">",
            "<p style=\"margin:0px 0px 0px;text-indent:-24px;margin-left:96px;padding:7.56px "
            "16px;line-height:1.5em\">"},
        SanitizeCase{"font_sizes_in_points",
                     "<span style=\"font-size:15px\"><span style=\"font-size:small\"><span "
                     "style=\"font-size:10.0pt;font:7.0pt &quot;Times New Roman&quot;\">",
                     "<span style=\"font-size:11.25pt\"><span style=\"font-size:9.75pt\"><span "
                     "style='font-size:10.0pt;font:7.0pt \"Times New Roman\"'>"},
        SanitizeCase{"legacy_font_sizes",
                     "<font size=2 face=Arial><font size=\"+1\" style=\"font-size:10pt\">"
                     "<font size=9><font size=x>",
                     "<font face=\"Arial\" style=\"font-size:9.75pt\"><font "
                     "style=\"font-size:13.5pt;font-size:10pt\"><font style=\"font-size:36pt\">"
                     "<font>"},
        SanitizeCase{"word_borders_in_qt_order",
                     "<td style='border:solid windowtext 1.0pt;border-left:none;border-top:"
                     "dotted 2px;border-bottom:red 1px'>",
                     "<td style=\"border:1.33px solid #000000;border-left:none;border-top:2px "
                     "dotted;border-bottom:none\">"},
        SanitizeCase{"table_css_border_is_no_grid",
                     "<table border=1 style='border-collapse:collapse;border:none'><tr><td>a</td>"
                     "<td style='border-top:solid black 1px'>b</td></tr></table>"
                     "<table style='border:1px solid'><tr><td>c</td></tr></table>",
                     "<table style=\"border-collapse:collapse\"><tr><td style=\"border:1px inset "
                     "#808080\">a</td><td style=\"border-top:1px solid black\">b</td></tr></table>"
                     "<table><tr><td>c</td></tr></table>"},
        SanitizeCase{"widths_where_qt_reads_them",
                     "<table width=0 style='width:450.0pt'><col width=100><col span=2 "
                     "style='width:2in'><tr><td style='width:50%'>a</td><td colspan=2>b</td>"
                     "<td>c</td></tr><tr><td>d</td><td>e</td></tr></table>",
                     "<table width=\"600\" style=\"width:600px\"><col width=\"100\"><col "
                     "span=\"2\" style=\"width:192px\"><tr><td width=\"50%\" "
                     "style=\"width:50%\">a</td><td colspan=\"2\">b</td><td>c</td>"
                     "</tr><tr><td width=\"100\">d</td><td width=\"192\">e</td></tr></table>"},
        SanitizeCase{"table_border_attribute_kept",
                     "<table border=1><tr><td colspan=2>a</td></tr></table>"
                     "<table border=0><tr><td>b</td></tr></table>",
                     "<table border=\"1\"><tr><td colspan=\"2\">a</td></tr></table>"
                     "<table border=\"0\"><tr><td>b</td></tr></table>"}),
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

TEST(SanitizeHtml, FlattenedTablesLeaveTheTablesAroundThemAlone) {
    // The outer table asks for cell borders that its CSS took from the table.
    QString html = "<table border=1 style='border:none'><tr><td>a";
    for (int i = 0; i < 20; ++i)
        html += "<table><tr><td>";
    for (int i = 0; i < 20; ++i)
        html += "</td></tr></table>";
    html += "</td></tr><tr><td>z</td></tr></table>";
    EXPECT_TRUE(SanitizeHtml(html, {}).contains("<td style=\"border:1px inset #808080\">z"));
}

}  // namespace
}  // namespace parcelo::test
