// The real window and message boxes as a screen reader meets them: the accessible tree Qt builds,
// read in-process on the offscreen platform. No assistive-technology bus is involved.
#include "app/form_layout.h"
#include "app/notes.h"
#include "app/qt/entry_box.h"
#include "app/qt/qt_kestrand.h"
#include "app/qt/qt_text.h"
#include "app/spoken_results.h"
#include "test_texts.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

using kestrand::layout::Control;
using kestrand::qtui::qs;
using kestrand::qtui::QtKestrand;

class Accessibility : public testing::Test {
protected:
    struct Child {
        Control id;
        QAccessibleInterface* iface;
    };

    Accessibility() : app_([this](const levels::Message& m) { messages_.push_back(m); }, [] {}) {
        QLocale::setDefault(QLocale::c());
        app_.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    kestrand::qtui::MainWindow& window() { return app_.window(); }
    QAccessibleInterface* root() { return QAccessible::queryAccessibleInterface(&window()); }

    // The window's accessible children in the order a reader walks them, each with the control
    // whose widget it stands for.
    std::vector<Child> children() {
        std::vector<Child> found;
        QAccessibleInterface* const top = root();
        for (int i = 0; i < top->childCount(); ++i) {
            QAccessibleInterface* const child = top->child(i);
            const auto row = std::find_if(
                kestrand::layout::kControls.begin(), kestrand::layout::kControls.end(),
                [&](const auto& s) { return window().control(s.id) == child->object(); });
            if (row == kestrand::layout::kControls.end()) {
                ADD_FAILURE() << "child " << i << " is no control of the form";
                continue;
            }
            found.push_back({row->id, child});
        }
        return found;
    }

    QAccessibleInterface* node(Control id) {
        for (const Child& c : children()) {
            if (c.id == id) {
                return c.iface;
            }
        }
        return nullptr;
    }

    int position(Control id) {
        const std::vector<Child> all = children();
        const auto at =
            std::find_if(all.begin(), all.end(), [&](const Child& c) { return c.id == id; });
        return at == all.end() ? -1 : static_cast<int>(at - all.begin());
    }

    QStringList bandNames() {
        QStringList names;
        for (int i = 0; i < kestrand::layout::kBandCount; ++i) {
            QAccessibleInterface* const band = node(kestrand::layout::bandControl(i));
            names << (band == nullptr ? QStringLiteral("<missing>")
                                      : band->text(QAccessible::Name));
        }
        return names;
    }

    // The way to results that is not Enter: a click on Calculate.
    void calculate(const QString& total) {
        window().entry()->setText(total);
        window().entry()->setFocus();
        QTest::mouseClick(window().button(Control::cmdCalculate), Qt::LeftButton);
    }

    QtKestrand app_;
    std::vector<levels::Message> messages_;
};

struct Expected {
    Control id;
    QAccessible::Role role;
    const char* name;
};

constexpr const char* kEntryCaption = "Total Number of Scenario Victory Points:";

const Expected kAtStart[] = {
    {Control::txtVPs, QAccessible::EditableText, kEntryCaption},
    {Control::cmdNotes, QAccessible::PushButton, "Notes"},
    {Control::cmdCalculate, QAccessible::PushButton, "Calculate"},
    {Control::cmdExit, QAccessible::PushButton, "Exit"},
    {Control::lblD, QAccessible::StaticText, "Draw (+/-):"},
    {Control::lblVPs, QAccessible::StaticText, kEntryCaption},
    {Control::lblNumber0, QAccessible::StaticText, "0"},
    {Control::lblNumber3, QAccessible::StaticText, "0"},
    {Control::lblNumber2, QAccessible::StaticText, "0"},
    {Control::lblNumber1, QAccessible::StaticText, "0"},
    {Control::lblOV, QAccessible::StaticText, "Overwhelming Victory (+/-):"},
    {Control::lblSV, QAccessible::StaticText, "Significant Victory: (+/-):"},
    {Control::lblMV, QAccessible::StaticText, "Marginal Victory (+/-):"},
};

TEST_F(Accessibility, EveryControlReadsWithItsRoleNameAndTooltip) {
    EXPECT_EQ(root()->role(), QAccessible::Window);
    EXPECT_EQ(root()->text(QAccessible::Name), qs(kestrand::testing::kTitle));
    ASSERT_EQ(children().size(), std::size(kAtStart)) << "each control once, nothing else";
    for (const Expected& row : kAtStart) {
        SCOPED_TRACE(row.name);
        QAccessibleInterface* const control = node(row.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->role(), row.role);
        EXPECT_EQ(control->text(QAccessible::Name), row.name);
        EXPECT_EQ(control->text(QAccessible::Description),
                  qs(kestrand::layout::rowOf(row.id).toolTip));
        EXPECT_EQ(control->parent()->object(), &window());
    }
    EXPECT_EQ(node(Control::txtVPs)->text(QAccessible::Value), "0");
    EXPECT_TRUE(node(Control::txtVPs)->state().focused);
    EXPECT_TRUE(node(Control::cmdCalculate)->state().defaultButton);
}

TEST_F(Accessibility, TheEntryAndItsCaptionPointAtEachOther) {
    // Each pair names the other node and what that node is to this one.
    const auto entryLabels = node(Control::txtVPs)->relations(QAccessible::Label);
    ASSERT_EQ(entryLabels.size(), 1);
    EXPECT_EQ(entryLabels[0].first->object(), window().control(Control::lblVPs));

    const auto labelled = node(Control::lblVPs)->relations(QAccessible::Labelled);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled[0].first->object(), window().entry());

    EXPECT_TRUE(node(Control::lblD)->relations(QAccessible::Labelled).isEmpty());
}

TEST_F(Accessibility, BandNamesFollowTheirTexts) {
    struct Step {
        const char* total;
        QStringList bands;
    };
    const Step steps[] = {
        {"200", {"0-40", " 41-80", " 81-120", " 121+"}},
        {"10", {"0-2", " 3-4", " 5-6", " 7+"}},
        {"19999", {"0-4000", " 4001-8000", " 8001-11999", " 12000+"}},
    };
    EXPECT_EQ(bandNames(), QStringList({"0", "0", "0", "0"}));
    for (const Step& step : steps) {
        SCOPED_TRACE(step.total);
        calculate(step.total);
        EXPECT_EQ(bandNames(), step.bands);
        EXPECT_EQ(node(Control::txtVPs)->text(QAccessible::Value), step.total);
        EXPECT_TRUE(node(Control::cmdExit)->state().focused);
    }
    EXPECT_TRUE(messages_.empty());
}

// A reader builds the line it speaks from the attribute runs: one run must cover the text.
TEST_F(Accessibility, TheEntrysTextIsOneRunReadWhole) {
    for (const QString total : {"0", "200", "19999"}) {
        SCOPED_TRACE(total.toStdString());
        window().entry()->setText(total);
        window().entry()->repaint(); // the line edit places its text when it paints
        QAccessibleTextInterface* const text = node(Control::txtVPs)->textInterface();
        ASSERT_NE(text, nullptr);
        ASSERT_EQ(text->characterCount(), total.size());
        EXPECT_EQ(text->text(0, text->characterCount()), total);
        for (int offset = 0; offset < total.size(); ++offset) {
            int start = -1;
            int end = -1;
            text->attributes(offset, &start, &end);
            EXPECT_EQ(std::pair(start, end), std::pair(0, static_cast<int>(total.size())));
            const QRect box = text->characterRect(offset);
            const QRect entry(window().entry()->mapToGlobal(QPoint(0, 0)),
                              window().entry()->size());
            EXPECT_TRUE(entry.contains(box)) << offset;
            EXPECT_EQ(text->offsetAtPoint({box.left() + box.width() / 4, box.center().y()}),
                      offset);
        }
    }
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
// The announcements the window makes while one lives, each with whether Exit held the focus.
class Announcements final {
public:
    struct Heard {
        QString text;
        bool onExit;
    };
    explicit Announcements(QWidget* exit) {
        exit_ = exit;
        heard_.clear();
        QAccessible::setActive(true);
        QAccessible::installUpdateHandler(&record);
    }
    ~Announcements() {
        QAccessible::installUpdateHandler(nullptr);
        QAccessible::setActive(false);
    }
    Announcements(const Announcements&) = delete;
    Announcements& operator=(const Announcements&) = delete;
    [[nodiscard]] const std::vector<Heard>& heard() const { return heard_; }

private:
    static void record(QAccessibleEvent* event) {
        if (event->type() == QAccessible::Announcement) {
            heard_.push_back({static_cast<QAccessibleAnnouncementEvent*>(event)->message(),
                              QApplication::focusWidget() == exit_});
        }
    }
    static inline QWidget* exit_ = nullptr;
    static inline std::vector<Heard> heard_;
};
#endif

// Up to Qt 6.8 the results stand before Exit's description while it has the focus; from 6.8
// they are one announcement, made once the focus is there.
TEST_F(Accessibility, ResultsAreSaidOnceWithTheFocusOnExit) {
    const QString exitHelp = qs(kestrand::layout::rowOf(Control::cmdExit).toolTip);
    const QString results = qs(kestrand::spokenResults({"0-40", " 41-80", " 81-120", " 121+"}));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const Announcements announcements(window().button(Control::cmdExit));
#endif
    calculate("200");
    ASSERT_TRUE(node(Control::cmdExit)->state().focused);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    ASSERT_EQ(announcements.heard().size(), 1U);
    EXPECT_EQ(announcements.heard()[0].text, results);
    EXPECT_TRUE(announcements.heard()[0].onExit);
    EXPECT_EQ(node(Control::cmdExit)->text(QAccessible::Description), exitHelp);
#else
    EXPECT_EQ(node(Control::cmdExit)->text(QAccessible::Description), results + ' ' + exitHelp);
#endif
    // Tabbing round, the player hears Exit's own help: nothing stale as if new.
    QTest::keyClick(window().focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(node(Control::cmdExit)->state().focused);
    EXPECT_EQ(node(Control::cmdExit)->text(QAccessible::Description), exitHelp);

    // A refusal is heard through its box alone.
    calculate("5");
    ASSERT_EQ(messages_.size(), 1U);
    for (const Child& c : children()) {
        EXPECT_EQ(c.iface->text(QAccessible::Description),
                  qs(kestrand::layout::rowOf(c.id).toolTip));
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    EXPECT_EQ(announcements.heard().size(), 1U);
#endif
}

TEST_F(Accessibility, CaptionsAreReadJustBeforeWhatTheyName) {
    const std::pair<Control, Control> pairs[] = {
        {Control::lblVPs, Control::txtVPs},    {Control::lblD, Control::lblNumber0},
        {Control::lblMV, Control::lblNumber1}, {Control::lblSV, Control::lblNumber2},
        {Control::lblOV, Control::lblNumber3},
    };
    for (const auto& [caption, value] : pairs) {
        SCOPED_TRACE(kestrand::layout::rowOf(caption).text.data());
        ASSERT_GE(position(caption), 0);
        EXPECT_EQ(position(value), position(caption) + 1);
    }
    EXPECT_LT(position(Control::lblD), position(Control::lblMV));
    EXPECT_LT(position(Control::lblMV), position(Control::lblSV));
    EXPECT_LT(position(Control::lblSV), position(Control::lblOV));
}

TEST_F(Accessibility, TheReadingOrderStillNavigatesBothWaysAndByPoint) {
    QAccessibleInterface* const top = root();
    for (int i = 0; i < top->childCount(); ++i) {
        QAccessibleInterface* const child = top->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(top->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), top);
        // Where the widget is on screen finds the same node.
        auto* const widget = static_cast<QWidget*>(child->object());
        const QPoint centre = widget->mapToGlobal(widget->rect().center());
        QAccessibleInterface* const hit = top->childAt(centre.x(), centre.y());
        ASSERT_NE(hit, nullptr) << i;
        EXPECT_EQ(hit->object(), widget);
    }
    EXPECT_EQ(top->child(top->childCount()), nullptr);
    EXPECT_EQ(top->child(-1), nullptr);
}

// What a reader gets from the message box that is open while f runs its event loop.
struct BoxReading {
    QAccessible::Role role{};
    QString name, value, button;
    bool focusableText = false; // a reader may then take the text for a control's
};

template <typename Show> std::optional<BoxReading> readModalBox(Show show) {
    std::optional<BoxReading> reading;
    QTimer::singleShot(0, [&] {
        auto* const box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        QAccessibleInterface* const iface = QAccessible::queryAccessibleInterface(box);
        reading = BoxReading{
            iface->role(), iface->text(QAccessible::Name), iface->text(QAccessible::Value), {}};
        // The button is somewhere below the box; look for it the way a reader would.
        std::vector<QAccessibleInterface*> pending{iface};
        while (!pending.empty()) {
            QAccessibleInterface* const at = pending.back();
            pending.pop_back();
            if (at->role() == QAccessible::PushButton) {
                reading->button = at->text(QAccessible::Name);
            }
            if (at->role() == QAccessible::StaticText && at->state().focusable) {
                reading->focusableText = true;
            }
            for (int i = 0; i < at->childCount(); ++i) {
                pending.push_back(at->child(i));
            }
        }
        box->button(QMessageBox::Ok)->click();
    });
    show();
    return reading;
}

TEST(AccessibleMessageBox, ReadsItsTitleAndText) {
    const struct {
        levels::Message message;
        QString text;
    } rows[] = {
        {{"first\r\nsecond", "A Title", levels::MessageIcon::Exclamation}, "first\nsecond"},
        {kestrand::notesMessage(),
         qs(kestrand::notesMessage().text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message.title);
        const auto reading =
            readModalBox([&] { kestrand::qtui::showMessageBox(nullptr, row.message); });
        ASSERT_TRUE(reading.has_value()) << "no message box was open";
        EXPECT_EQ(reading->role, QAccessible::AlertMessage);
        EXPECT_EQ(reading->name, qs(row.message.title));
        EXPECT_EQ(reading->value, row.text);
        EXPECT_EQ(reading->button, "OK");
        EXPECT_FALSE(reading->focusableText);
    }
}

TEST(AccessibleMessageBox, ARefusalFromTheWindowIsReadToo) {
    QtKestrand app; // the real presenter: a modal box over the window
    app.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
    const auto reading = readModalBox(
        [&] { QTest::mouseClick(app.window().button(Control::cmdCalculate), Qt::LeftButton); });
    ASSERT_TRUE(reading.has_value()) << "no message box was open";
    const levels::Message zero = levels::refusalMessage(levels::Refusal::Zero, "0", 0.0, ".");
    EXPECT_EQ(reading->name, qs(zero.title));
    EXPECT_EQ(reading->value, qs(zero.text).replace("\r\n", "\n"));
}

} // namespace
