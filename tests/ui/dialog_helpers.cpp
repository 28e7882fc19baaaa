#include "dialog_helpers.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
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
            failing << NameOf(widget) + QStringLiteral(" %1x%2<%3x%4")
                                            .arg(widget->width())
                                            .arg(widget->height())
                                            .arg(wanted.width())
                                            .arg(wanted.height());
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

namespace {

QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] != u'&')
                return text[i + 1].toLower();
            ++i;
        }
    }
    return QChar();
}

} // namespace

QStringList UnreachedByMnemonic(QWidget* window) {
    struct Target {
        QChar key;
        QWidget* control; // a label's buddy, or the check box itself
        bool checkBox;
    };
    std::vector<Target> targets;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy())
            targets.push_back({Mnemonic(label->text()), label->buddy(), false});
        else if (auto* box = qobject_cast<QCheckBox*>(widget))
            targets.push_back({Mnemonic(box->text()), box, true});
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            targets.push_back({Mnemonic(button->text()), nullptr, false});
    }
    QStringList unreached;
    for (const Target& target : targets) {
        const auto sharing = std::count_if(targets.begin(), targets.end(),
                                           [&](const Target& t) { return t.key == target.key; });
        if (!target.key.isLetter() || sharing > 1 || !target.control ||
            !target.control->isEnabled())
            continue;
        auto* box = target.checkBox ? static_cast<QCheckBox*>(target.control) : nullptr;
        const bool wasChecked = box && box->isChecked();
        const int key = Qt::Key_A + (target.key.unicode() - u'a');
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);
        bool reached = FocusedControl(window) == target.control->objectName();
        // A check box is clicked a moment after its key: wait for it, then undo it.
        if (box && reached) {
            reached = QTest::qWaitFor([&] { return box->isChecked() != wasChecked; }, 1000);
            box->click();
        }
        if (!reached)
            unreached << target.control->objectName();
    }
    return unreached;
}
