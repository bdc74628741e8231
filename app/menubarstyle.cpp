#include "app/menubarstyle.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

namespace orba {

namespace {
constexpr int kIconSize = 16;
constexpr int kGap = 4;
}  // namespace

void MenuBarStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuBarItem || !item || item->icon.isNull()) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // Background and highlight come from the base style, drawn without the icon.
    QStyleOptionMenuItem textOnly = *item;
    textOnly.icon = QIcon();
    textOnly.text.clear();
    QProxyStyle::drawControl(element, &textOnly, painter, widget);

    QRect r = item->rect.adjusted(kGap, 0, -kGap, 0);
    QRect iconRect(r.x(), r.y() + (r.height() - kIconSize) / 2, kIconSize, kIconSize);
    painter->drawPixmap(iconRect, item->icon.pixmap(kIconSize, kIconSize));
    QRect textRect = r.adjusted(kIconSize + kGap, 0, 0, 0);
    const bool selected = item->state & State_Selected;
    drawItemText(painter, textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic,
                 item->palette, item->state & State_Enabled, item->text,
                 selected ? QPalette::HighlightedText : QPalette::ButtonText);
}

QSize MenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuBarItem || !item || item->icon.isNull())
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    QSize textSize = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
    int width = kGap + kIconSize + kGap + textSize.width() + kGap;
    int height = std::max(kIconSize, textSize.height()) + 2 * kGap;
    return QSize(width, std::max(height, size.height()));
}

}  // namespace orba
