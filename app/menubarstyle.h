// Draws a top-level menu entry with its icon and its caption side by side;
// Qt's own menu bar shows only the icon when an entry has one.
#pragma once

#include <QProxyStyle>

namespace orba {

class MenuBarStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
};

}  // namespace orba
