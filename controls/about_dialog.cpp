#include "about_dialog.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "art_shade.h"
#include "dialog_units.h"
#include "link_static.h"
#include "resource_bitmap.h"

namespace parcelo {

namespace {

constexpr int kWidthUnits = 221;
constexpr int kHeightUnits = 131;
constexpr int kFontPoints = 9;
constexpr int kIdOk = 1;

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(kAboutCaption));
    createControls();
    initDialog();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::createControls() {
    QFont dialogFont = font();
    dialogFont.setPointSize(kFontPoints);
    setFont(dialogFont);
    const DialogUnits units(dialogFont);

    // A bitmap static takes the size of its bitmap, whatever the template says.
    auto* banner = new QLabel(this);
    const QImage bannerImage =
        LoadResourceBitmap(QString::fromLatin1(kAboutBannerPath), devicePixelRatioF());
    const QPixmap bannerPixmap = QPixmap::fromImage(bannerImage);
    banner->setPixmap(bannerPixmap);
    banner->setGeometry(QRect(QPoint(units.toPixelsX(0), units.toPixelsY(0)),
                              bannerPixmap.deviceIndependentSize().toSize()));
    banner->setObjectName(QStringLiteral("banner"));
    banner->setAccessibleName(QStringLiteral("Parcelo, TNEF viewer"));
    banner->setAccessibleDescription(QStringLiteral("The program's banner"));

    auto addText = [&](const char* text, QRect geometry) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(geometry);
        return label;
    };
    addText(kVersionLine, units.toPixels(7, 48, 207, 8))->setObjectName(QStringLiteral("version"));
    addText(kFirstNotice, units.toPixels(7, 59, 207, 8));
    addText(kSecondNotice, units.toPixels(7, 72, 207, 8));

    homePageLink_ = new CLinkStatic(QString(), this);
    homePageLink_->setGeometry(units.toPixels(7, 84, 102, 8));
    homePageLink_->setObjectName(QStringLiteral("control%1").arg(kIdcHomePageLink));
    supportLink_ = new CLinkStatic(QString(), this);
    supportLink_->setGeometry(units.toPixels(118, 84, 96, 8));
    supportLink_->setObjectName(QStringLiteral("control%1").arg(kIdcSupportLink));

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(units.toPixels(7, 98, 207, 1));

    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("control%1").arg(kIdOk));
    close->setGeometry(units.toPixels(164, 107, 50, 14));
    close->setDefault(true);
    close->setAccessibleDescription(QStringLiteral("Closes the About box"));
    close->setFocus();
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(units.toPixelsX(kWidthUnits), units.toPixelsY(kHeightUnits));
}

void AboutDialog::initDialog() {
    const QString support = QString::fromLatin1(kSupportAddress);
    supportLink_->setText(support);
    supportLink_->SetLinkTarget(QStringLiteral("mailto:") + support);
    supportLink_->SetUnderlineMode(CLinkStatic::kUnderlineAlways);

    const QString homePage = QString::fromLatin1(kHomePageAddress);
    homePageLink_->setText(homePage);
    homePageLink_->SetLinkTarget(homePage + u'/');
    homePageLink_->SetUnderlineMode(CLinkStatic::kUnderlineAlways);

    // A screen reader reads the address as it is shown, and says where it leads.
    supportLink_->setAccessibleName(support);
    supportLink_->setAccessibleDescription(
        QStringLiteral("Link: writes a mail to the support address"));
    homePageLink_->setAccessibleName(homePage);
    homePageLink_->setAccessibleDescription(
        QStringLiteral("Link: opens the project's home page in the web browser"));
    colourLinks();
}

void AboutDialog::colourLinks() {
    const LinkColours colours = LinkColoursFor(palette());
    for (CLinkStatic* link : {homePageLink_, supportLink_}) {
        if (link != nullptr)
            link->SetLinkColours(colours.link, colours.visited, colours.hover);
    }
}

void AboutDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        colourLinks();
}

}  // namespace parcelo
