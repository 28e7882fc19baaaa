#include "ui/link_label.h"

#include "platform/shell.h"
#include "ui/open_target.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>

CLinkLabel::CLinkLabel(QWidget* parent) : CLinkLabel(QString(), parent) {}

CLinkLabel::CLinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), shell_(&platform::SystemShell()) {
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setToolTip(Target());
    Restyle();
}

void CLinkLabel::SetTarget(const QString& target) {
    target_ = target;
    if (text().isEmpty())
        setText(target);
    setToolTip(Target());
    FitToText();
}

QString CLinkLabel::Target() const {
    return target_.isEmpty() ? text() : target_;
}

void CLinkLabel::SetUnderline(Underline mode) {
    underline_ = mode;
    Restyle();
}

void CLinkLabel::SetColors(const QColor& link, const QColor& visited, const QColor& hover) {
    linkColor_ = link;
    visitedColor_ = visited;
    hoverColor_ = hover;
    Restyle();
}

void CLinkLabel::SetFitToText(bool on) {
    fitToText_ = on;
    FitToText();
}

QColor CLinkLabel::CurrentColor() const {
    return hovering_ ? hoverColor_ : visited_ ? visitedColor_ : linkColor_;
}

void CLinkLabel::Restyle() {
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, CurrentColor());
    setPalette(colors);
    QFont face = font();
    face.setUnderline(underline_ == Underline::Always ||
                      (underline_ == Underline::UnderMouse && hovering_));
    setFont(face);
    update();
}

// Measured in the underlined font, which is never narrower.
void CLinkLabel::FitToText() {
    if (!fitToText_)
        return;
    QFont underlined = font();
    underlined.setUnderline(true);
    const QSize text = QFontMetrics(underlined).size(Qt::TextSingleLine, this->text());
    const QMargins margins = contentsMargins();
    QRect area = geometry();
    const QSize wanted(text.width() + margins.left() + margins.right(),
                       text.height() + margins.top() + margins.bottom());
    const Qt::Alignment align = alignment();
    if (align & Qt::AlignVCenter)
        area.moveTop(area.center().y() - wanted.height() / 2);
    if (align & Qt::AlignHCenter)
        area.moveLeft(area.center().x() - wanted.width() / 2);
    else if (align & Qt::AlignRight)
        area.moveLeft(area.right() + 1 - wanted.width());
    area.setSize(wanted);
    setGeometry(area);
}

void CLinkLabel::enterEvent(QEnterEvent* event) {
    hovering_ = true;
    Restyle();
    QLabel::enterEvent(event);
}

void CLinkLabel::leaveEvent(QEvent* event) {
    hovering_ = false;
    Restyle();
    QLabel::leaveEvent(event);
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Open();
    QLabel::mouseReleaseEvent(event);
}

void CLinkLabel::Open() {
    hovering_ = false;
    const int result = OpenTarget(*shell_, Target());
    if (OpenSucceeded(result)) {
        visited_ = true;
        Restyle();
        return;
    }
    Restyle();
    QApplication::beep();
    QMessageBox::warning(this, QApplication::applicationName(), ErrorText(result));
}

QString CLinkLabel::ErrorText(int code) {
    static const struct {
        int code;
        const char* text;
    } kReasons[] = {
        {0, QT_TR_NOOP("The operating system is out\nof memory or resources.")},
        {2, QT_TR_NOOP("The specified file was not found.")},
        {3, QT_TR_NOOP("The specified path was not found.")},
        {5, QT_TR_NOOP("The operating system denied\naccess to the specified file.")},
        {8, QT_TR_NOOP("There was not enough memory to complete the operation.")},
        {11, QT_TR_NOOP("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).")},
        {26, QT_TR_NOOP("A sharing violation occurred. ")},
        {27, QT_TR_NOOP("The filename association is\nincomplete or invalid.")},
        {28, QT_TR_NOOP("The DDE transaction could not\nbe completed because the request "
                        "timed out.")},
        {29, QT_TR_NOOP("The DDE transaction failed.")},
        {30, QT_TR_NOOP("The DDE transaction could not\nbe completed because other DDE "
                        "transactions\nwere being processed.")},
        {31, QT_TR_NOOP("There is no application associated\nwith the given filename "
                        "extension.")},
        {32, QT_TR_NOOP("The specified dynamic-link library was not found.")},
    };
    QString reason = tr("Unknown Error (%1) occurred.").arg(code);
    for (const auto& known : kReasons) {
        if (known.code == code)
            reason = tr(known.text);
    }
    return tr("Unable to open hyperlink:\n\n") + reason;
}
