// A light and a dark desktop palette, given in full so that no platform theme adds to them.
#pragma once

#include <QColor>
#include <QPalette>

namespace parcelo::testing {

inline QPalette DesktopPalette(bool dark) {
    const auto rgb = [](unsigned value) { return QColor::fromRgb(value); };
    QPalette palette;
    const struct {
        QPalette::ColorRole role;
        unsigned light, dark;
    } roles[] = {
        {QPalette::Window, 0xefefef, 0x2b2b2b},
        {QPalette::WindowText, 0x000000, 0xdddddd},
        {QPalette::Base, 0xffffff, 0x1e1e1e},
        {QPalette::AlternateBase, 0xf7f7f7, 0x262626},
        {QPalette::Text, 0x000000, 0xdddddd},
        {QPalette::Button, 0xefefef, 0x353535},
        {QPalette::ButtonText, 0x000000, 0xdddddd},
        {QPalette::Highlight, 0x308cc6, 0x2a82da},
        {QPalette::HighlightedText, 0xffffff, 0xffffff},
        {QPalette::PlaceholderText, 0x7f7f7f, 0x8a8a8a},
        {QPalette::Light, 0xffffff, 0x4a4a4a},
        {QPalette::Midlight, 0xcacaca, 0x3f3f3f},
        {QPalette::Mid, 0xb8b8b8, 0x2f2f2f},
        {QPalette::Dark, 0x9f9f9f, 0x1f1f1f},
        {QPalette::Shadow, 0x767676, 0x000000},
        {QPalette::ToolTipBase, 0xffffdc, 0x3c3c3c},
        {QPalette::ToolTipText, 0x000000, 0xdddddd},
        {QPalette::Link, 0x0000ff, 0x8ab4f8},
    };
    for (const auto& entry : roles)
        palette.setColor(entry.role, rgb(dark ? entry.dark : entry.light));
    return palette;
}

}  // namespace parcelo::testing
