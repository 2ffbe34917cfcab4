// The About box: the banner, the version line, the notices and the two links to the
// project's home page and its support address.
#pragma once

#include <QDialog>

namespace parcelo {

class CLinkStatic;

inline constexpr int kIddAboutBox = 100;
inline constexpr int kIdcHomePageLink = 1006;
inline constexpr int kIdcSupportLink = 1007;

inline constexpr const char* kAboutCaption = "About Parcelo";
inline constexpr const char* kVersionLine = "Oxbrook Parcelo Version 1.0";
inline constexpr const char* kFirstNotice = "Copyright (C) 2026 the Parcelo developers.";
inline constexpr const char* kSecondNotice = "Free software under the GNU GPL, version 2 or later.";
inline constexpr const char* kHomePageAddress = "parcelo.example.org";
inline constexpr const char* kSupportAddress = "parcelo@example.org";
// The banner, bitmap 133.
inline constexpr const char* kAboutBannerPath = ":/parcelo/bitmap-133.png";

class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    CLinkStatic* homePageLink() const { return homePageLink_; }
    CLinkStatic* supportLink() const { return supportLink_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void createControls();
    void initDialog();
    // Link colours that read on the dialog's window colour, light or dark.
    void colourLinks();

    CLinkStatic* homePageLink_ = nullptr;
    CLinkStatic* supportLink_ = nullptr;
};

}  // namespace parcelo
