#include "SheetChrome.h"

#include "core/HexColor.h"
#include "core/NavigationHelpers.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/SymbolIcons.h"

void SheetChrome::styleBar(ViewController* screen, QPointer<BarButtonItem>& closeButton)
{
    NavigationController* navigation = screen->navigationController();
    if (!navigation)
        return;
    NavigationHelpers::setupCustomNavbar(navigation->navigationBar());
    if (navigation->modalPresentationStyle() != PresentationStyle::FormSheet || closeButton)
        return;
    closeButton = new BarButtonItem(SymbolIcons::icon(CloseSymbol), screen);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    QObject::connect(closeButton, &QAction::triggered, screen, [screen] { screen->dismiss(true); });
    screen->navigationItem()->setRightBarButtonItem(closeButton);
}

void SheetChrome::paintBackground(std::initializer_list<QWidget*> widgets, const QString& lightHex,
                                  const QString& darkHex)
{
    const QColor color = HexColor::colorWithHexString(ColorScheme::isDark() ? darkHex : lightHex);
    for (QWidget* widget : widgets) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, color);
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
}
