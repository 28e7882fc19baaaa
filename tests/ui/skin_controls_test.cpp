#include "platform/shell.h"
#include "ui/link_label.h"
#include "ui/open_target.h"
#include "ui/skin_button.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The desktop's edge: whether it opens something is the test's choice.
class RecordingShell final : public platform::Shell {
public:
    explicit RecordingShell(bool opens) : opens_(opens) {}
    bool Open(const QString& target) override {
        opened.append(target);
        return opens_;
    }
    QStringList opened;

private:
    bool opens_;
};

const QColor kSkin(255, 0, 255);

// A parent painted in one colour, standing for the skin under the buttons.
struct SkinnedParent {
    QWidget parent;
    SkinnedParent() {
        QPalette colors = parent.palette();
        colors.setColor(QPalette::Window, kSkin);
        parent.setPalette(colors);
        parent.setAutoFillBackground(true);
        parent.resize(200, 100);
    }
    QImage Shot(const QWidget& child) { return parent.grab(child.geometry()).toImage(); }
};

QPixmap Solid(const QSize& size, const QColor& color) {
    QPixmap pixmap(size);
    pixmap.fill(color);
    return pixmap;
}

void Hover(QWidget& widget, bool inside) {
    if (inside) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&widget, &leave);
    }
}

TEST(SkinButtonTest, TextButtonShowsSkinBesideItsFaceAndMovesWhenPressed) {
    SkinnedParent skin;
    CSkinButton button(&skin.parent);
    button.SetDrawBorder(false);
    button.SetFaces(Solid({106, 26}, Qt::gray), Solid({106, 26}, Qt::white), true);
    ASSERT_EQ(button.size(), QSize(107, 27));

    QImage shot = skin.Shot(button);
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::gray));
    EXPECT_EQ(shot.pixelColor(106, 13), kSkin);
    EXPECT_EQ(shot.pixelColor(50, 26), kSkin);

    button.setDown(true); // pressed: the lit face, one pixel right and down
    shot = skin.Shot(button);
    EXPECT_EQ(shot.pixelColor(0, 13), kSkin);
    EXPECT_EQ(shot.pixelColor(50, 0), kSkin);
    EXPECT_EQ(shot.pixelColor(106, 26), QColor(Qt::white));
}

TEST(SkinButtonTest, FlatIconButtonShowsItsBorderOnlyUnderTheMouseOrPressed) {
    SkinnedParent skin;
    CSkinButton button(&skin.parent);
    button.SetDrawText(false);
    button.SetIcons(QIcon(Solid({16, 16}, Qt::blue)), QIcon(), QSize(16, 16), true);
    ASSERT_EQ(button.size(), QSize(19, 19));
    const QColor light = QColor(button.palette().color(QPalette::Light).rgb());
    const QColor dark = QColor(button.palette().color(QPalette::Shadow).rgb());

    EXPECT_EQ(skin.Shot(button).pixelColor(0, 0), kSkin);
    EXPECT_EQ(skin.Shot(button).pixelColor(9, 9), QColor(Qt::blue));
    Hover(button, true);
    EXPECT_EQ(skin.Shot(button).pixelColor(0, 0), light);
    EXPECT_EQ(skin.Shot(button).pixelColor(18, 18), dark);
    button.setDown(true);
    EXPECT_EQ(skin.Shot(button).pixelColor(0, 0), dark);
    EXPECT_EQ(skin.Shot(button).pixelColor(18, 18), light);
    button.setDown(false);
    Hover(button, false);
    EXPECT_EQ(skin.Shot(button).pixelColor(0, 0), kSkin);
}

TEST(LinkLabelTest, ExplainsShellErrorCodes) {
    EXPECT_EQ(CLinkLabel::ErrorText(31),
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given "
              "filename extension.");
    EXPECT_EQ(CLinkLabel::ErrorText(2),
              "Unable to open hyperlink:\n\nThe specified file was not found.");
    EXPECT_EQ(CLinkLabel::ErrorText(4), "Unable to open hyperlink:\n\nUnknown Error (4) occurred.");
}

TEST(LinkLabelTest, TurnsVisitedWhenItsTargetOpens) {
    RecordingShell shell(true);
    CLinkLabel label("quillmore.example");
    label.SetShell(shell);
    label.SetTarget("https://quillmore.example/");
    EXPECT_EQ(label.toolTip(), "https://quillmore.example/");
    EXPECT_EQ(label.CurrentColor(), QColor(0, 0, 238));

    Hover(label, true);
    EXPECT_EQ(label.CurrentColor(), QColor(255, 0, 0));
    EXPECT_TRUE(label.font().underline());
    Hover(label, false);
    EXPECT_FALSE(label.font().underline());

    label.Open();
    EXPECT_EQ(shell.opened, QStringList{"https://quillmore.example/"});
    EXPECT_TRUE(label.IsVisited());
    EXPECT_EQ(label.CurrentColor(), QColor(85, 26, 139));
}

// The warning a failed open shows, read and closed as soon as it is up.
QString WarningOfFailedOpen(CLinkLabel& label) {
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    label.Open();
    return shown;
}

TEST(LinkLabelTest, WarnsAndStaysUnvisitedWhenTheOpenFails) {
    RecordingShell shell(false);
    CLinkLabel label("mailto:help@quillmore.example");
    label.SetShell(shell);
    EXPECT_EQ(WarningOfFailedOpen(label), CLinkLabel::ErrorText(kOpenNoAssociation));
    EXPECT_FALSE(label.IsVisited());

    QTemporaryDir dir;
    label.SetTarget(dir.filePath("gone.html"));
    EXPECT_EQ(WarningOfFailedOpen(label), CLinkLabel::ErrorText(kOpenFileNotFound));
    EXPECT_EQ(shell.opened.size(), 1) << "a missing file is never handed to the desktop";
}

} // namespace
