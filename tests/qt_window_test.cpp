// The real Qt window, offscreen: its look, and keys and clicks routed through
// Qt to the form, with message boxes recorded instead of shown.
#include "app/notes.h"
#include "app/qt/entry_box.h"
#include "app/qt/qt_kestrand.h"
#include "app/qt/qt_text.h"
#include "app/readable_colours.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "test_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

using kestrand::layout::Control;
using kestrand::qtui::QtKestrand;

const QString kTitle = QString::fromUtf8(kestrand::testing::kTitle);

class QtWindow : public testing::Test {
protected:
    QtWindow()
        : app_([this](const levels::Message& m) { messages_.push_back(m); },
               [this] { ended_ = true; }) {
        QLocale::setDefault(QLocale::c());
        app_.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    kestrand::qtui::MainWindow& window() { return app_.window(); }
    QLineEdit* entry() { return window().entry(); }
    QPushButton* button(Control id) { return window().button(id); }
    QStringList bands() {
        QStringList texts;
        for (int i = 0; i < 4; ++i) {
            texts << window().band(i)->text();
        }
        return texts;
    }
    std::vector<QString> titles() {
        std::vector<QString> t;
        for (const auto& m : messages_) {
            t.push_back(QString::fromStdString(m.title));
        }
        return t;
    }
    void click(Control id) { QTest::mouseClick(button(id), Qt::LeftButton); }
    // The key with the text X11 gives it: Ctrl+V brings U+0016, not "v".
    static void key(QWidget* to, Qt::Key k, Qt::KeyboardModifiers mods, const QString& text) {
        QTest::sendKeyEvent(QTest::Press, to, k, text, mods);
        QTest::sendKeyEvent(QTest::Release, to, k, text, mods);
    }
    void setEntry(const QString& text) {
        entry()->setText(text);
        entry()->setFocus();
    }
    // The way to results that is not Enter: total in the entry, a click on Calculate.
    void calculate(const QString& total) {
        setEntry(total);
        click(Control::cmdCalculate);
        ASSERT_NE(bands()[3], "0") << "no results for " << total.toStdString();
    }
    // One Tab or Shift+Tab on the focus, whichever reaches target in one step.
    void tabOnceTo(Control target) {
        const auto& stops = kestrand::layout::kTabOrder;
        const bool forward = std::any_of(stops.begin(), stops.end(), [&](Control c) {
            return window().control(c) == QApplication::focusWidget() &&
                   kestrand::testing::tabGoesFromTo(c, target);
        });
        QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab,
                        forward ? Qt::NoModifier : Qt::ShiftModifier);
    }

    QtKestrand app_;
    std::vector<levels::Message> messages_;
    bool ended_ = false;
};

const QStringList kReset = [] {
    QStringList bands;
    for (const std::string& band : kestrand::testing::kResetBands) {
        bands << QString::fromStdString(band);
    }
    return bands;
}();

TEST_F(QtWindow, StartsAsLaidOut) {
    EXPECT_EQ(window().windowTitle(), kTitle);
    // 96 wherever Qt scales the window; the fonts' density where it does not.
    const int dpi = window().logicalDpiY();
    const auto px = [dpi](int twips) { return kestrand::layout::pixels(twips, dpi); };
    EXPECT_EQ(window().size(), QSize(px(8670), px(4095)));
    EXPECT_EQ(window().minimumSize(), window().maximumSize()) << "fixed border";
    EXPECT_FALSE(window().windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window().windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(entry()->text(), "0");
    EXPECT_EQ(bands(), kReset);
    EXPECT_TRUE(entry()->hasFocus());
    EXPECT_EQ(entry()->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(entry()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_TRUE(button(Control::cmdCalculate)->isDefault());
    EXPECT_EQ(window().windowIcon().availableSizes(),
              (QList<QSize>{{32, 32}, {64, 64}, {128, 128}}))
        << "sharp in title and task bars at any scale";

    for (const auto& row : kestrand::layout::kControls) {
        QWidget* w = window().control(row.id);
        SCOPED_TRACE(std::string(row.text));
        EXPECT_EQ(w->geometry(), QRect(px(row.twips.left), px(row.twips.top), px(row.twips.width),
                                       px(row.twips.height)));
        EXPECT_EQ(w->accessibleDescription().toStdString(), row.toolTip);
        EXPECT_TRUE(w->toolTip().contains(kestrand::qtui::qs(row.toolTip).toHtmlEscaped()));
        EXPECT_EQ(w->font().bold(), row.kind != kestrand::layout::Kind::Button);
        EXPECT_DOUBLE_EQ(w->font().pointSizeF(), 8.25);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(label->text().toStdString(), row.text);
            EXPECT_TRUE(label->alignment() & Qt::AlignRight);
            EXPECT_TRUE(label->autoFillBackground()) << "labels are opaque";
            const bool band = row.kind == kestrand::layout::Kind::BandLabel;
            EXPECT_EQ(label->palette().color(label->foregroundRole()) == QColor(0, 0, 255), band);
            EXPECT_EQ(label->frameShadow() == QFrame::Sunken, band);
            const QRect room = label->contentsRect();
            const QRect needed = label->fontMetrics().boundingRect(
                room, static_cast<int>(label->alignment()) | Qt::TextWordWrap, label->text());
            EXPECT_TRUE(room.contains(needed)) << "clipped at " << dpi << " dpi";
        } else if (auto* push = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(push->text().toStdString(), row.text);
        }
    }
}

// The top row of a label's text, in window coordinates, found in what it drew.
int inkTop(QLabel* label, const QColor& ink) {
    const QImage image = label->grab().toImage();
    const int border = label->frameWidth();
    for (int y = border; y < image.height() - border; ++y) {
        for (int x = border; x < image.width() - border; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - ink.red()) + std::abs(c.green() - ink.green()) +
                    std::abs(c.blue() - ink.blue()) <
                200) {
                return label->y() + y;
            }
        }
    }
    return -1;
}

TEST_F(QtWindow, BandTextsStandLevelWithTheirCaptions) {
    calculate("19999");
    const Control captions[] = {Control::lblD, Control::lblMV, Control::lblSV, Control::lblOV};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        QLabel* band = window().band(i);
        auto* label = static_cast<QLabel*>(window().control(captions[i]));
        const int captionTop = inkTop(label, label->palette().color(QPalette::WindowText));
        const int bandTop = inkTop(band, QColor(0, 0, 255));
        ASSERT_GE(captionTop, 0);
        ASSERT_GE(bandTop, 0);
        EXPECT_LE(std::abs(captionTop - bandTop), 1) << captionTop << " against " << bandTop;
    }
}

TEST_F(QtWindow, TheEntrysMenuNamesOnlyShortcutsThatWork) {
    std::unique_ptr<QMenu> menu(window().entry()->createContextMenu());
    QStringList named;
    for (const QAction* action : menu->actions()) {
        if (const qsizetype tab = action->text().indexOf(u'\t'); tab >= 0) {
            named << action->text().mid(tab + 1);
        }
    }
    const auto text = [](QKeyCombination key) {
        return QKeySequence(key).toString(QKeySequence::NativeText);
    };
    EXPECT_EQ(named, (QStringList{text(Qt::SHIFT | Qt::Key_Delete), text(Qt::CTRL | Qt::Key_Insert),
                                  text(Qt::SHIFT | Qt::Key_Insert)}));
    EXPECT_EQ(menu->actions().size(), 9) << "every action of the line edit's menu stays";

    // And each named key does its job, with no Input Error.
    QGuiApplication::clipboard()->setText("123");
    setEntry("");
    QTest::keyClick(entry(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(entry()->text(), "123");
    entry()->selectAll();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(entry(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "123");
    QGuiApplication::clipboard()->clear();
    entry()->selectAll();
    key(entry(), Qt::Key_Delete, Qt::ShiftModifier, QString(QChar(0x7f)));
    EXPECT_EQ(entry()->text(), "");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "123");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(QtWindow, ALongToolTipWraps) {
    QWidget* longest = window().control(Control::lblVPs);
    QToolTip::showText(longest->mapToGlobal(QPoint(2, 2)), longest->toolTip(), longest);
    QWidget* tip = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->inherits("QTipLabel") && w->isVisible()) {
            tip = w;
        }
    }
    ASSERT_NE(tip, nullptr);
    const int oneLine =
        QFontMetrics(tip->font()).horizontalAdvance(longest->accessibleDescription());
    EXPECT_LT(tip->width(), oneLine * 2 / 3) << "one line would be " << oneLine << " px";
    EXPECT_GT(tip->height(), 2 * QFontMetrics(tip->font()).height());
    QToolTip::hideText();
}

kestrand::layout::Rgb rgb(const QColor& c) {
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

// The contrast of a control's text as drawn: the pixel inside its frame's
// corner is the background, the ink the pixel that stands out most from it.
double drawnContrast(const QImage& shot, const QRect& box, int inset) {
    const QColor background = shot.pixelColor(box.left() + inset, box.top() + inset);
    double best = 1.0;
    for (int y = box.top() + inset; y <= box.bottom() - inset; ++y) {
        for (int x = box.left() + inset; x <= box.right() - inset; ++x) {
            best = std::max(best,
                            kestrand::contrastRatio(rgb(shot.pixelColor(x, y)), rgb(background)));
        }
    }
    return best;
}

struct DesktopPalette {
    const char* name;
    QPalette palette;
};

// A player's dark or high-contrast scheme stays, behind the captions too, and
// every result reads at 7:1, the entry at 4.5:1; switching back brings red and blue back.
TEST_F(QtWindow, ADarkOrHighContrastSchemeStaysAndTheResultsReadOnIt) {
    QPalette highContrastBlack(Qt::white, Qt::black, Qt::white, Qt::black, Qt::black, Qt::white,
                               Qt::white, Qt::black, Qt::black);
    QPalette darker(QColor(0xff, 0xff, 0xff), QColor(0x42, 0x42, 0x45), QColor(0x97, 0x97, 0x97),
                    QColor(0x30, 0x2f, 0x2e), QColor(0x4a, 0x49, 0x47), QColor(0xff, 0xff, 0xff),
                    QColor(0xff, 0xff, 0xff), QColor(0x3d, 0x3d, 0x3d), QColor(0x22, 0x20, 0x20));
    const QPalette before = QApplication::palette();
    calculate("200");
    for (const DesktopPalette& scheme : {DesktopPalette{"high contrast black", highContrastBlack},
                                         DesktopPalette{"darker", darker}}) {
        SCOPED_TRACE(scheme.name);
        QApplication::setPalette(scheme.palette);
        const QImage shot = window().grab().toImage();
        for (const auto& row : kestrand::layout::kControls) {
            SCOPED_TRACE(std::string(row.text));
            QWidget* w = window().control(row.id);
            if (row.kind == kestrand::layout::Kind::Label ||
                row.kind == kestrand::layout::Kind::BandLabel) {
                EXPECT_EQ(shot.pixelColor(w->geometry().topLeft() + QPoint(2, 2)),
                          scheme.palette.color(QPalette::Button))
                    << "the scheme's own face behind the label";
            }
            const double bar = row.kind == kestrand::layout::Kind::BandLabel ? 7.0 : 4.5;
            if (row.kind != kestrand::layout::Kind::Button) {
                EXPECT_GE(drawnContrast(shot, w->geometry(), 3), bar);
            }
        }
    }
    QApplication::setPalette(before);
    EXPECT_EQ(window().band(0)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(entry()->palette().color(QPalette::Text), QColor(255, 0, 0));
}

TEST_F(QtWindow, TypingLetsOnlyDigitsEnterAndBackspaceIn) {
    QGuiApplication::clipboard()->setText("77");
    QTest::keyClicks(entry(), "2a0");
    key(entry(), Qt::Key_V, Qt::ControlModifier, QString(QChar(0x16)));
    key(entry(), Qt::Key_C, Qt::ControlModifier, QString(QChar(0x03)));
    key(entry(), Qt::Key_X, Qt::ControlModifier, QString(QChar(0x18)));
    key(entry(), Qt::Key_Escape, Qt::NoModifier, QString(QChar(0x1b)));
    QTest::keyClick(entry(), Qt::Key_Minus);
    key(entry(), Qt::Key_5, Qt::NoModifier, QString(QChar(0x0665))); // an Arabic-Indic five
    QTest::keyClicks(entry(), "0");
    EXPECT_EQ(entry()->text(), "0200");
    EXPECT_EQ(titles(), std::vector<QString>(
                            7, QString::fromStdString(kestrand::testing::inputErrorTitle())));

    messages_.clear();
    QTest::keyClick(entry(), Qt::Key_Backspace);
    QTest::keyClick(entry(), Qt::Key_Left);
    key(entry(), Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
    key(entry(), Qt::Key_V, Qt::AltModifier, "v");
    key(entry(), Qt::Key_1, Qt::ControlModifier, "1");
    EXPECT_EQ(entry()->text(), "02");
    EXPECT_TRUE(messages_.empty()) << "editing keys and chords type no character";
}

TEST_F(QtWindow, PastingIsNotFilteredButTheCheckCopes) {
    QGuiApplication::clipboard()->setText("12abc");
    entry()->selectAll();
    QTest::keyClick(entry(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(entry()->text(), "12abc");
    EXPECT_TRUE(messages_.empty());
    click(Control::cmdCalculate);
    EXPECT_EQ(bands(), QStringList({"0-2", " 3-5", " 6-7", " 8+"}));
}

TEST_F(QtWindow, InputMethodTextIsFilteredToo) {
    QInputMethodEvent commit;
    commit.setCommitString("1x2");
    QApplication::sendEvent(entry(), &commit);
    EXPECT_EQ(entry()->text(), "012");
    EXPECT_EQ(titles(),
              std::vector<QString>{QString::fromStdString(kestrand::testing::inputErrorTitle())});
}

TEST_F(QtWindow, EnterCalculatesAndMovesTheFocusToExit) {
    QTest::keyClicks(entry(), "200");
    QTest::keyClick(entry(), Qt::Key_Return);
    EXPECT_EQ(bands(), QStringList({"0-40", " 41-80", " 81-120", " 121+"}));
    EXPECT_TRUE(button(Control::cmdExit)->hasFocus());
    EXPECT_TRUE(messages_.empty());
    QTest::keyClick(button(Control::cmdExit), Qt::Key_Return);
    EXPECT_TRUE(ended_);
}

TEST_F(QtWindow, EnterRightAfterStartIsRefusedAsZero) {
    QTest::keyClick(entry(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(titles(), std::vector<QString>{QString::fromStdString(
                            kestrand::testing::refusalTitle(levels::Refusal::Zero))});
    EXPECT_TRUE(entry()->hasFocus());
}

TEST_F(QtWindow, ARefusedClickOnCalculateKeepsTheFocusAndIsDropped) {
    setEntry("5");
    click(Control::cmdCalculate);
    EXPECT_EQ(titles(), std::vector<QString>{QString::fromStdString(
                            kestrand::testing::refusalTitle(levels::Refusal::TooLow))});
    EXPECT_TRUE(entry()->hasFocus());
    EXPECT_EQ(entry()->text(), "0");
    EXPECT_EQ(bands(), kReset);

    setEntry("10");
    click(Control::cmdCalculate);
    EXPECT_EQ(bands(), QStringList({"0-2", " 3-4", " 5-6", " 7+"}));
    EXPECT_TRUE(button(Control::cmdExit)->hasFocus());
    EXPECT_EQ(messages_.size(), 1U);
}

TEST_F(QtWindow, ADoubleClickIsCheckedLikeAPress) {
    QPushButton* calculate = button(Control::cmdCalculate);
    const QPoint at = calculate->rect().center();
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, calculate->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(calculate, &twice);
    EXPECT_EQ(titles(), std::vector<QString>{QString::fromStdString(
                            kestrand::testing::refusalTitle(levels::Refusal::Zero))});
    EXPECT_TRUE(entry()->hasFocus());
}

TEST_F(QtWindow, NotesShowOnlyForATotalThatPasses) {
    click(Control::cmdNotes);
    EXPECT_EQ(titles(), std::vector<QString>{QString::fromStdString(
                            kestrand::testing::refusalTitle(levels::Refusal::Zero))});
    EXPECT_TRUE(entry()->hasFocus());
    messages_.clear();

    setEntry("200");
    click(Control::cmdNotes);
    ASSERT_EQ(messages_.size(), 1U);
    EXPECT_EQ(messages_[0], kestrand::notesMessage());
    EXPECT_EQ(entry()->text(), "200");
    EXPECT_EQ(bands(), kReset);
}

TEST_F(QtWindow, F1ShowsTheNotesWithoutACheckAndTypesNothing) {
    for (QWidget* const focus :
         {static_cast<QWidget*>(entry()), window().control(Control::cmdExit)}) {
        messages_.clear();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_F1);
        ASSERT_EQ(messages_.size(), 1U);
        EXPECT_EQ(messages_[0], kestrand::notesMessage());
        EXPECT_TRUE(focus->hasFocus());
    }
    EXPECT_EQ(entry()->text(), "0");
}

// Round the layout's tab order and one step back.
TEST_F(QtWindow, TabFollowsTheTabOrder) {
    const auto& order = kestrand::layout::kTabOrder;
    setEntry("200");
    for (std::size_t i = 1; i <= order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), window().control(order[i % order.size()])) << i;
    }
    QTest::keyClick(entry(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), window().control(order.back()));
    EXPECT_TRUE(messages_.empty());
    // Space works the button that holds the focus.
    for (std::size_t i = 0; i < order.size() && !button(Control::cmdCalculate)->hasFocus(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(bands()[3], " 121+");
}

TEST_F(QtWindow, TabToCalculateChecksTheEntryButTabToExitDoesNot) {
    tabOnceTo(Control::cmdCalculate);
    EXPECT_EQ(titles(), std::vector<QString>{QString::fromStdString(
                            kestrand::testing::refusalTitle(levels::Refusal::Zero))});
    EXPECT_TRUE(entry()->hasFocus());
    setEntry("5");
    tabOnceTo(Control::cmdExit);
    EXPECT_TRUE(button(Control::cmdExit)->hasFocus());
    EXPECT_EQ(messages_.size(), 1U);
    click(Control::cmdExit);
    EXPECT_TRUE(ended_);
}

TEST_F(QtWindow, EscapeOnAButtonDoesNothing) {
    setEntry("200");
    tabOnceTo(Control::cmdExit);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(ended_);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(QtWindow, MinimizedTitleSummarisesAndRestoringPutsTheTitleBack) {
    window().showMinimized();
    EXPECT_EQ(window().windowTitle(), kTitle);
    window().showNormal();
    calculate("200");
    window().showMinimized();
    EXPECT_EQ(window().windowTitle(), "KRD: MV=41, SV=81, OV=121");
    window().showNormal();
    EXPECT_EQ(window().windowTitle(), kTitle);
}

TEST_F(QtWindow, ClickingALabelDoesNothing) {
    QTest::mouseClick(window().band(1), Qt::LeftButton);
    QTest::mouseClick(window().control(Control::lblVPs), Qt::LeftButton);
    EXPECT_TRUE(entry()->hasFocus());
    EXPECT_TRUE(messages_.empty());
}

TEST(QtMessageBox, ShowsTitleTextAndIconModally) {
    const levels::Message message{"first\r\nsecond", "A Title", levels::MessageIcon::Exclamation};
    std::optional<QString> text, title;
    std::optional<QMessageBox::Icon> icon;
    int width = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        width = box->width();
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    kestrand::qtui::showMessageBox(nullptr, message);
    EXPECT_EQ(text, "first\nsecond");
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance("A Title") + 100)
        << "as wide as its title and the title bar's buttons";
    EXPECT_EQ(title, "A Title");
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(QtMessageBox, AQuotedMegabyteFitsOnTheScreenWithTheWholeTextInTheDetails) {
    const std::string digits(1 << 20, '9');
    const levels::Message message{"The Value is Too High at " + digits +
                                      "!\r\nIt Must be Below 20,000",
                                  "Victory Point Total Too High", levels::MessageIcon::Exclamation};
    QString text, details;
    QSize size;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        details = box->detailedText();
        size = box->size();
        box->button(QMessageBox::Ok)->click();
    });
    kestrand::qtui::showMessageBox(nullptr, message);
    EXPECT_LT(text.size(), 300);
    EXPECT_TRUE(text.startsWith("The Value is Too High at 999"));
    EXPECT_TRUE(text.endsWith("999!\nIt Must be Below 20,000"));
    EXPECT_EQ(details, QString::fromStdString(message.text).replace("\r\n", "\n"));
    EXPECT_LT(size.height(), 600);
    EXPECT_LT(size.width(), 1200);
}

} // namespace
