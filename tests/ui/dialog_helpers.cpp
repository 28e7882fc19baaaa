#include "dialog_helpers.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>

namespace {

QString NameOf(const QWidget* widget) {
    if (!widget->objectName().isEmpty())
        return widget->objectName();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    return QString::fromLatin1(widget->metaObject()->className());
}

} // namespace

QStringList CutOffControls(QWidget* window) {
    QStringList failing;
    const QRect bounds = window->rect();
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        const bool control =
            qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
            qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget);
        if (!control)
            continue;
        const auto* label = qobject_cast<QLabel*>(widget);
        const QSize wanted =
            label && label->wordWrap() ? widget->minimumSizeHint() : widget->sizeHint();
        const QRect placed(widget->mapTo(window, QPoint(0, 0)), widget->size());
        if (widget->width() < wanted.width() || widget->height() < wanted.height() ||
            !bounds.contains(placed))
            failing << NameOf(widget);
    }
    return failing;
}

QStringList TabOrder(QWidget* window) {
    QStringList order;
    for (int presses = 0; presses < 200; ++presses) {
        QWidget* focused = QApplication::focusWidget();
        if (!focused)
            break;
        // The edit inside a combo or a spin box counts as the control itself.
        while (focused != window &&
               (focused->objectName().isEmpty() ||
                focused->objectName().startsWith(QLatin1String("qt_"))) &&
               (qobject_cast<QComboBox*>(focused->parentWidget()) ||
                qobject_cast<QAbstractSpinBox*>(focused->parentWidget())))
            focused = focused->parentWidget();
        const QString name = NameOf(focused);
        if (!order.isEmpty() && name == order.front())
            break;
        order << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return order;
}
