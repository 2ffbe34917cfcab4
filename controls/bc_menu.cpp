#include "bc_menu.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <cmath>

#include "resource_bitmap.h"
#include "system_colour.h"

namespace parcelo {

namespace {

// The draw modes with and without the XP look.
int xpDrawMode = BCMenu::kDrawFlat;
int otherDrawMode = BCMenu::kDrawClassic;

// Images are kept as QImage: they outlive the application object, which a QPixmap may not.
struct SharedImageList {
    std::vector<QImage> images;
    std::vector<int> commands;
};

SharedImageList& SharedImages() {
    static SharedImageList list;
    return list;
}

// Every opaque pixel of `image` recoloured by `recolour`.
template <typename Recolour>
QImage Recoloured(const QImage& image, Recolour recolour) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            const QColor colour = recolour(QColor::fromRgb(line[x]));
            line[x] = qRgba(colour.red(), colour.green(), colour.blue(), qAlpha(line[x]));
        }
    }
    result.setDevicePixelRatio(image.devicePixelRatio());
    return result;
}

void FrameRect(QPainter& painter, const QRect& rect, const QColor& colour) {
    painter.save();
    painter.setPen(colour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

// An etched line along the top of `rect`: dark over light.
void EtchedTop(QPainter& painter, int left, int right, int y, const QPalette& palette) {
    painter.save();
    painter.setPen(SysColour(SystemColour::BtnShadow, palette));
    painter.drawLine(left, y, right - 1, y);
    painter.setPen(SysColour(SystemColour::BtnHighlight, palette));
    painter.drawLine(left, y + 1, right - 1, y + 1);
    painter.restore();
}

// Half of `value`, rounded half up, never below 0.
int HalfUp(int value) {
    return std::max(0, (value + 1) / 2);
}

// Qt asks a menu's style for the size of each item and to draw it; for a BCMenu this style
// hands both to the menu, in place of the measure and draw messages an owner-drawn menu
// gets on Windows.
class BCMenuStyle : public QProxyStyle {
  public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* menu = qobject_cast<const BCMenu*>(widget);
        const auto* itemOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuItem && menu != nullptr && itemOption != nullptr) {
            const BCMenuItemData* item = menu->ItemData(menu->actionAt(option->rect.center()));
            if (item != nullptr && (item->menuFlags & kMfOwnerDraw) != 0) {
                BCMenu::ItemState state;
                state.grayed = !(option->state & State_Enabled);
                state.selected = (option->state & State_Selected) != 0;
                state.checked = itemOption->checked;
                menu->DrawItem(*painter, option->rect, *item, state);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        const auto* menu = qobject_cast<const BCMenu*>(widget);
        const auto* itemOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type == CT_MenuItem && menu != nullptr && itemOption != nullptr) {
            const bool separator = itemOption->menuItemType == QStyleOptionMenuItem::Separator;
            QSize measured = menu->MeasureItem(itemOption->text, separator);
            // Qt adds a column as wide as the widest accelerator to the widest item; the
            // measured width already holds it.
            const qsizetype tab = itemOption->text.indexOf(u'\t');
            if (tab >= 0) {
                measured.rwidth() -=
                    QFontMetrics(menu->font()).horizontalAdvance(itemOption->text.mid(tab + 1));
            }
            // The platform gives every owner-drawn item the width of a check mark more than
            // it asked for, which keeps the text off the right edge.
            measured.rwidth() += menu->CheckMarkWidth() - 1;
            return measured;
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (qobject_cast<const BCMenu*>(widget) != nullptr) {
            switch (metric) {
                case PM_MenuPanelWidth:
                    return 1;
                case PM_MenuHMargin:
                case PM_MenuVMargin:
                    return 2;
                default:
                    break;
            }
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (qobject_cast<const BCMenu*>(widget) != nullptr) {
            if (element == PE_PanelMenu) {
                painter->fillRect(option->rect, SysColour(SystemColour::Window, option->palette));
                return;
            }
            if (element == PE_FrameMenu) {
                FrameRect(*painter, option->rect,
                          SysColour(SystemColour::BtnShadow, option->palette));
                return;
            }
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

QStyle* MenuStyle() {
    static QStyle* style = [] {
        auto* made = new BCMenuStyle;
        made->setParent(QCoreApplication::instance());
        return made;
    }();
    return style;
}

}  // namespace

QColor LightenColour(const QColor& colour, double f) {
    if (!(f > 0.0 && f <= 1.0))
        return colour;
    auto lighten = [f](int c) { return static_cast<int>(c + f * (255 - c)); };
    return QColor(lighten(colour.red()), lighten(colour.green()), lighten(colour.blue()));
}

BCMenu::BCMenu(QWidget* parent) : QMenu(parent) {
    setStyle(MenuStyle());
}

BCMenu::~BCMenu() {
    DestroyMenu();
}

void BCMenu::SetDrawStyle(int mode) {
    xpDrawMode = mode;
    otherDrawMode = mode;
}

int BCMenu::DrawMode() {
    return IsXPStyleActive() ? xpDrawMode : otherDrawMode;
}

// The popups of a loaded menu are drawn with the image settings of the menu they were
// loaded into.
void BCMenu::SetImageBackground(const QColor& colour) {
    imageBackground_ = colour;
    imageBackgroundSet_ = true;
    for (const auto& popup : subMenus_)
        popup->SetImageBackground(colour);
}

void BCMenu::SetImageSize(int width, int height) {
    imageSize_ = QSize(width, height);
    for (const auto& popup : subMenus_)
        popup->SetImageSize(width, height);
}

int BCMenu::LoadMenu(MenuTemplate menuTemplate) {
    if (menuTemplate.empty())
        return 0;
    DestroyMenu();

    struct Level {
        BCMenu* menu;
        bool lastOfParent;  // the popup was the parent level's last entry
    };
    std::vector<Level> levels{{this, false}};
    for (const MenuTemplateItem& entry : menuTemplate) {
        const bool last = (entry.flags & kMfEnd) != 0;
        const unsigned flags = entry.flags & ~kMfEnd;
        const QString text = QString::fromUtf8(entry.text);
        BCMenu* top = levels.back().menu;
        if ((flags & kMfPopup) != 0) {
            subMenus_.push_back(std::make_unique<BCMenu>());
            BCMenu* popup = subMenus_.back().get();
            top->AppendItem(text, flags, 0, popup);
            levels.push_back({popup, last});
            continue;
        }
        top->AppendItem(text, flags, entry.id);
        for (bool closing = last; closing && !levels.empty();) {
            const Level finished = levels.back();
            levels.pop_back();
            finished.menu->AlignAccelerators();
            closing = finished.lastOfParent;
        }
        if (levels.empty())
            break;
    }

    // Only the items inside popups draw themselves; the top level stays plain text.
    for (const auto& item : items_)
        item->menuFlags &= ~kMfOwnerDraw;
    loadedFromTemplate_ = true;
    return 1;
}

void BCMenu::DestroyMenu() {
    clear();
    items_.clear();
    subMenus_.clear();
    loadedFromTemplate_ = false;
}

BCMenu* BCMenu::GetSubMenu(int position) const {
    const QList<QAction*> all = actions();
    if (position < 0 || position >= all.size())
        return nullptr;
    return qobject_cast<BCMenu*>(all[position]->menu());
}

void BCMenu::AppendItem(const QString& text, unsigned flags, int id, BCMenu* subMenu) {
    auto item = std::make_unique<BCMenuItemData>();
    item->text = text;
    item->menuFlags = flags | kMfOwnerDraw;
    item->commandId = subMenu != nullptr ? 0 : id;
    item->subMenu = subMenu;
    if ((flags & kMfSeparator) != 0) {
        item->action = addSeparator();
    } else if (subMenu != nullptr) {
        subMenu->setTitle(text);
        item->action = addMenu(subMenu);
    } else {
        item->action = addAction(text);
        item->action->setData(id);
    }
    item->action->setEnabled((flags & kMfGrayed) == 0);
    if ((flags & kMfChecked) != 0) {
        item->action->setCheckable(true);
        item->action->setChecked(true);
    }
    items_.push_back(std::move(item));
}

void BCMenu::AlignAccelerators() {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const auto& item : items_) {
        if ((item->menuFlags & kMfSeparator) != 0)
            continue;
        const qsizetype tab = item->text.indexOf(u'\t');
        const QString before = tab < 0 ? item->text : item->text.left(tab);
        widest = std::max(widest, metrics.horizontalAdvance(before + u' '));
    }
    for (const auto& item : items_) {
        const qsizetype tab = item->text.indexOf(u'\t');
        if (tab < 0)
            continue;
        QString before = item->text.left(tab);
        while (metrics.horizontalAdvance(before) < widest)
            before += u' ';
        item->text = before + item->text.mid(tab);
        item->action->setText(item->text);
    }
}

const BCMenuItemData* BCMenu::ItemData(const QAction* action) const {
    if (action == nullptr)
        return nullptr;
    for (const auto& item : items_) {
        if (item->action == action)
            return item.get();
    }
    return nullptr;
}

BCMenuItemData* BCMenu::FindCommand(int commandId) {
    for (const auto& item : items_) {
        if (item->subMenu != nullptr) {
            if (BCMenuItemData* found = item->subMenu->FindCommand(commandId))
                return found;
        } else if ((item->menuFlags & kMfSeparator) == 0 && item->commandId == commandId) {
            return item.get();
        }
    }
    return nullptr;
}

int BCMenu::LoadToolbarImages(const ToolbarResource& toolbar) {
    const QSize grown = imageSize_.expandedTo(QSize(toolbar.imageWidth, toolbar.imageHeight));
    SetImageSize(grown.width(), grown.height());
    const QImage bitmap =
        LoadResourceBitmap(QString::fromUtf8(toolbar.bitmapPath), devicePixelRatioF());
    if (bitmap.isNull())
        return 0;
    const ImageList images = cutImages(bitmap);
    int image = 0;
    for (const int command : toolbar.commands) {
        if (command == 0)
            continue;  // a separator has no image
        const int index = image++;
        if (FindCommand(command) != nullptr)
            SetItemImage(command, images, index);
    }
    return 1;
}

ImageList BCMenu::cutImages(const QImage& bitmap) const {
    QImage source = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent =
        (imageBackgroundSet_ ? imageBackground_ : SysColour(SystemColour::BtnFace)).rgb() &
        RGB_MASK;
    for (int y = 0; y < source.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(source.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if ((line[x] & RGB_MASK) == transparent)
                line[x] = 0;
        }
    }
    const qreal ratio = bitmap.devicePixelRatio();
    const int width = qRound(imageSize_.width() * ratio);
    const int height = qRound(imageSize_.height() * ratio);
    ImageList images;
    for (int x = 0; width > 0 && x + width <= source.width(); x += width) {
        QImage piece = source.copy(x, 0, width, height);
        piece.setDevicePixelRatio(ratio);
        images.push_back(piece);
    }
    return images;
}

bool BCMenu::SetItemImage(int commandId, const ImageList& images, int index) {
    BCMenuItemData* item = FindCommand(commandId);
    if (item == nullptr || index < 0 || index >= int(images.size()))
        return false;
    item->imageIndex = -1;
    item->hasOwnImage = -1;
    item->sharedImageOffset = addToSharedImages(commandId, images[size_t(index)]);
    item->menuFlags |= kMfOwnerDraw;
    item->commandId = commandId;
    return true;
}

int BCMenu::addToSharedImages(int commandId, const QImage& image) {
    const bool threeD = ThreeDImages();
    QImage faded;
    QImage shadow;
    if (threeD) {
        faded = Recoloured(image, [](const QColor& c) { return LightenColour(c, 0.3); });
        QColor shadowColour = SysColour(SystemColour::BtnShadow);
        if (!IsXPStyleActive())
            shadowColour = LightenColour(shadowColour, 0.49);
        shadow = Recoloured(image, [&](const QColor&) { return shadowColour; });
    }
    SharedImageList& shared = SharedImages();
    const auto found = std::find(shared.commands.begin(), shared.commands.end(), commandId);
    if (found == shared.commands.end()) {
        const int offset = int(shared.images.size());
        shared.images.push_back(image);
        shared.commands.push_back(commandId);
        if (threeD) {
            shared.images.push_back(faded);
            shared.images.push_back(shadow);
            shared.commands.push_back(commandId);
            shared.commands.push_back(commandId);
        }
        return offset;
    }
    // A command seen before keeps its place: the list never grows by reopening a menu.
    const size_t offset = size_t(found - shared.commands.begin());
    shared.images[offset] = image;
    if (threeD && offset + 2 < shared.commands.size() && shared.commands[offset + 1] == commandId &&
        shared.commands[offset + 2] == commandId) {
        shared.images[offset + 1] = faded;
        shared.images[offset + 2] = shadow;
    }
    return int(offset);
}

int BCMenu::SharedImageCount() {
    return int(SharedImages().images.size());
}

int BCMenu::SharedImageCommand(int index) {
    const SharedImageList& shared = SharedImages();
    return index >= 0 && size_t(index) < shared.commands.size() ? shared.commands[size_t(index)]
                                                                : 0;
}

QImage BCMenu::SharedImage(int index) {
    const SharedImageList& shared = SharedImages();
    return index >= 0 && size_t(index) < shared.images.size() ? shared.images[size_t(index)]
                                                              : QImage();
}

int BCMenu::SystemMenuHeight() const {
    // A menu line is its font's height with two pixels above and below.
    return QFontMetrics(font()).height() + 4;
}

// The style's own rendering of a disabled icon; it reads its colours from the option.
QPixmap BCMenu::greyedImage(const QImage& image) const {
    QStyleOption option;
    option.initFrom(this);
    return style()->generatedIconPixmap(QIcon::Disabled, QPixmap::fromImage(image), &option);
}

int BCMenu::CheckMarkWidth() const {
    return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
}

int BCMenu::columnExtra() const {
    return ThreeDImages() ? 7 : 4;
}

QSize BCMenu::MeasureItem(const QString& text, bool separator) const {
    const int extra = columnExtra();
    if (separator)
        return QSize(0, std::max(SystemMenuHeight() / 2, (imageSize_.height() + extra) / 2));
    const int textWidth = QFontMetrics(font()).horizontalAdvance(text);
    const int width = DrawMode() == kDrawFlat ? imageSize_.width() + extra + textWidth + 8
                                              : textWidth + 2 * imageSize_.width() + 1;
    return QSize(width, std::max(SystemMenuHeight(), imageSize_.height() + extra));
}

bool BCMenu::UsesClassicDrawing() const {
    const QScreen* where = screen();
    return DrawMode() != kDrawFlat || (where != nullptr && where->depth() <= 8);
}

void BCMenu::DrawItem(QPainter& painter, const QRect& rect, const BCMenuItemData& item,
                      ItemState state) const {
    painter.save();
    painter.setFont(font());
    if (UsesClassicDrawing())
        drawClassic(painter, rect, item, state);
    else
        drawFlat(painter, rect, item, state);
    painter.restore();
}

void BCMenu::drawFlat(QPainter& painter, const QRect& rect, const BCMenuItemData& item,
                      ItemState state) const {
    const QPalette& colours = palette();
    const bool xp = IsXPStyleActive();
    QColor face = SysColour(SystemColour::BtnFace, colours);
    if (!xp)
        face = LightenColour(face, 0.25);
    const QColor window = SysColour(SystemColour::Window, colours);
    const QColor highlight = SysColour(SystemColour::Highlight, colours);
    const QColor selection = LightenColour(highlight, xp ? 0.7 : 0.85);

    const int extra = columnExtra();
    const int column = imageSize_.width() + extra;
    const int left = rect.x();
    const int top = rect.y();
    const int right = rect.x() + rect.width();
    const QRect columnRect(left, top, column, rect.height());
    // A disabled item never shows as selected.
    const bool selected = state.selected && !state.grayed;

    if ((item.menuFlags & kMfSeparator) != 0) {
        painter.fillRect(rect, window);
        EtchedTop(painter, left + column + extra, right, top + rect.height() / 2, colours);
        painter.fillRect(columnRect, face);
        FrameRect(painter, columnRect, face);
        return;
    }

    if (selected) {
        painter.fillRect(rect, selection);
        FrameRect(painter, rect, highlight);
    } else {
        painter.fillRect(rect, window);
        FrameRect(painter, rect, window);
        painter.fillRect(columnRect, face);
        FrameRect(painter, columnRect, face);
    }

    const int dx = HalfUp(column - imageSize_.width());
    const int dy = HalfUp(rect.height() - imageSize_.height());
    const QRect cell(left + 1, top + 1, column - 2, rect.height() - 2);
    const int offset = item.sharedImageOffset;
    const int count = SharedImageCount();
    if (offset >= 0 && offset < count) {
        const int command = SharedImageCommand(offset);
        const bool threeD = offset + 2 < count && SharedImageCommand(offset + 1) == command &&
                            SharedImageCommand(offset + 2) == command;
        const QImage image = SharedImage(offset);
        const QPoint at(left + dx, top + dy);
        if (!state.grayed) {
            if (selected) {
                painter.fillRect(cell, selection);
                if (threeD && !state.checked) {
                    painter.drawImage(at + QPoint(1, 1), SharedImage(offset + 2));
                    painter.drawImage(at - QPoint(1, 1), image);
                } else if (state.checked) {
                    FrameRect(painter, cell, highlight);
                    painter.drawImage(at - QPoint(1, 1), image);
                } else {
                    painter.drawImage(at, image);
                }
            } else if (!state.checked) {
                painter.fillRect(cell, face);
                FrameRect(painter, cell, face);
                painter.drawImage(at, threeD ? SharedImage(offset + 1) : image);
            } else {
                painter.fillRect(cell, LightenColour(highlight, 0.85));
                FrameRect(painter, cell, highlight);
                painter.drawImage(at - QPoint(1, 1), image);
            }
        } else {
            // Drawn unselected, as the whole of a disabled item is.
            painter.fillRect(cell, face);
            painter.drawPixmap(at, greyedImage(image));
        }
    } else if (state.checked) {
        // A check mark where a checked item without image would show its image.
        painter.save();
        painter.setPen(QPen(SysColour(SystemColour::MenuText, colours), 2));
        const QPointF middle = QRectF(cell).center();
        painter.drawPolyline(
            QPolygonF({middle + QPointF(-4, 0), middle + QPointF(-1, 3), middle + QPointF(4, -3)}));
        painter.restore();
    }

    QColor textColour = SysColour(SystemColour::MenuText, colours);
    if (state.grayed) {
        textColour = SysColour(SystemColour::GrayText, colours);
        if (!xp && !state.selected)
            textColour = LightenColour(textColour, 0.4);
    }
    const int textLeft = left + column + 8;
    const QRect textRect(textLeft, top - 1, right - textLeft, rect.height());
    const qsizetype tab = item.text.lastIndexOf(u'\t');
    painter.setPen(textColour);
    const int flags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::TextShowMnemonic;
    painter.drawText(textRect, flags | Qt::AlignLeft, tab < 0 ? item.text : item.text.left(tab));
    if (tab >= 0) {
        painter.drawText(textRect.adjusted(0, 0, -imageSize_.width(), 0), flags | Qt::AlignRight,
                         item.text.mid(tab + 1));
    }
}

void BCMenu::drawClassic(QPainter& painter, const QRect& rect, const BCMenuItemData& item,
                         ItemState state) const {
    const QPalette& colours = palette();
    const QColor menu =
        SysColour(IsXPStyleActive() ? SystemColour::BtnFace : SystemColour::Menu, colours);
    const int left = rect.x();
    const int top = rect.y();
    const int right = rect.x() + rect.width();
    if ((item.menuFlags & kMfSeparator) != 0) {
        painter.fillRect(rect, menu);
        EtchedTop(painter, left, right, top + rect.height() / 2, colours);
        return;
    }

    const int offset = item.sharedImageOffset;
    const bool hasImage = offset >= 0 && offset < SharedImageCount();
    const int imageWidth = imageSize_.width();
    // The menu's own panel is not the menu colour here, so the part left of the selection is
    // filled too.
    painter.fillRect(rect, menu);
    if (state.selected) {
        const int from = hasImage || state.checked ? left + imageWidth + 5 : left;
        painter.fillRect(QRect(from, top, right - from, rect.height()),
                         SysColour(SystemColour::Highlight, colours));
    }

    const int dy = std::max(0, (rect.height() - imageSize_.height() - 4) / 2);
    const QRect frame(left, top + dy, imageWidth + 4, imageSize_.height() + 4);
    if (hasImage || state.checked) {
        const QColor light = SysColour(SystemColour::BtnHighlight, colours);
        const QColor dark = SysColour(SystemColour::BtnShadow, colours);
        if (state.checked && !state.selected)
            painter.fillRect(frame, LightenColour(menu, 0.6));
        if (state.selected || state.checked) {
            const bool raised = !state.checked;
            painter.save();
            painter.setPen(raised ? light : dark);
            painter.drawLine(frame.topLeft(), frame.topRight());
            painter.drawLine(frame.topLeft(), frame.bottomLeft());
            painter.setPen(raised ? dark : light);
            painter.drawLine(frame.bottomLeft(), frame.bottomRight());
            painter.drawLine(frame.topRight(), frame.bottomRight());
            painter.restore();
        }
    }
    if (hasImage) {
        QImage image = SharedImage(offset);
        const QPoint at(left + 2, top + dy + 2);
        if (state.grayed) {
            painter.drawPixmap(at, greyedImage(image));
        } else {
            painter.drawImage(at, image);
        }
    }

    const int textLeft = left + imageWidth + 9;
    const QRect textRect(textLeft, top, right - textLeft, rect.height());
    const qsizetype tab = item.text.lastIndexOf(u'\t');
    const int flags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::TextShowMnemonic;
    auto drawText = [&](const QRect& where, const QColor& colour) {
        painter.setPen(colour);
        painter.drawText(where, flags | Qt::AlignLeft, tab < 0 ? item.text : item.text.left(tab));
        if (tab >= 0) {
            painter.drawText(where.adjusted(0, 0, -imageWidth, 0), flags | Qt::AlignRight,
                             item.text.mid(tab + 1));
        }
    };
    if (state.grayed && !state.selected) {
        drawText(textRect.translated(1, 1), SysColour(SystemColour::BtnHighlight, colours));
        drawText(textRect, SysColour(SystemColour::GrayText, colours));
    } else if (state.grayed) {
        drawText(textRect, menu);
    } else {
        drawText(textRect,
                 SysColour(state.selected ? SystemColour::HighlightText : SystemColour::MenuText,
                           colours));
    }
}

}  // namespace parcelo
