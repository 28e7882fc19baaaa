#pragma once

#include <QSpinBox>

// A number field whose arrows, keys and wheel move it by a fixed step, one step
// per request however large the request.
class CStepSpin : public QSpinBox {
    Q_OBJECT

public:
    explicit CStepSpin(QWidget* parent = nullptr);

    // Refused (false, the old step stays) unless 0 < step < the span of the range.
    bool SetStep(int step);
    int Step() const { return singleStep(); }

    void stepBy(int steps) override;
};
