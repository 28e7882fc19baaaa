#include "ui/step_spin.h"

CStepSpin::CStepSpin(QWidget* parent) : QSpinBox(parent) {
    setSingleStep(1);
}

bool CStepSpin::SetStep(int step) {
    const qint64 span = static_cast<qint64>(maximum()) - minimum();
    if (step <= 0 || step >= span)
        return false;
    setSingleStep(step);
    return true;
}

void CStepSpin::stepBy(int steps) {
    if (steps != 0)
        QSpinBox::stepBy(steps > 0 ? 1 : -1);
}
