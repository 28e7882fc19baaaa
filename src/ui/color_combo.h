#pragma once

#include <QColor>
#include <QComboBox>

struct OutputFormat;

// A drop-down list whose entries carry their own text and background colours and
// the output format they stand for (not owned). A selected entry shows in the
// highlight colours; every other entry in its own.
class CColorCombo : public QComboBox {
    Q_OBJECT

public:
    explicit CColorCombo(QWidget* parent = nullptr);

    // Adds an entry at the end, or inserts one at a position (clamped to the
    // list); returns its position.
    int AddEntry(const QString& text, const QColor& textColor, const QColor& background);
    int InsertEntry(int position, const QString& text, const QColor& textColor,
                    const QColor& background);
    void DeleteEntry(int position);

    // The format of an entry; nullptr for a position without one.
    OutputFormat* Format(int position) const;
    void SetFormat(int position, OutputFormat* format);

    QColor TextColor(int position) const;
    QColor BackgroundColor(int position) const;

    // The width of the dropped-down list, at least that of the box.
    void SetDroppedWidth(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;
};
