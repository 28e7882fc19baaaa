#pragma once

#include <QColor>
#include <QLabel>

namespace platform {
class Shell;
}

// A text that behaves as a hyperlink: coloured as unvisited, visited or under
// the mouse, underlined by its mode, with the hand cursor and its target as
// tooltip. A click opens the target; a failure beeps and says why.
class CLinkLabel : public QLabel {
    Q_OBJECT

public:
    enum class Underline { Never, Always, UnderMouse };

    explicit CLinkLabel(QWidget* parent = nullptr);
    CLinkLabel(const QString& text, QWidget* parent = nullptr);

    // Empty: the text is the target. Sets the tooltip and fits the label.
    void SetTarget(const QString& target);
    QString Target() const;
    void SetUnderline(Underline mode);
    void SetColors(const QColor& link, const QColor& visited, const QColor& hover);
    // Fitting on: the label takes the size of its text whenever it changes.
    void SetFitToText(bool on);
    // The desktop it opens targets with; the system's unless set.
    void SetShell(platform::Shell& shell) { shell_ = &shell; }

    bool IsVisited() const { return visited_; }
    bool IsHovering() const { return hovering_; }
    QColor CurrentColor() const;

    // Opens the target as a click does: visited on success, else the warning.
    void Open();

    // "Unable to open hyperlink:" and the reason for a shell error code.
    static QString ErrorText(int code);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Restyle();
    void FitToText();

    QString target_;
    QColor linkColor_{0, 0, 238};
    QColor visitedColor_{85, 26, 139};
    QColor hoverColor_{255, 0, 0};
    Underline underline_ = Underline::UnderMouse;
    bool fitToText_ = true;
    bool hovering_ = false;
    bool visited_ = false;
    platform::Shell* shell_;
};
