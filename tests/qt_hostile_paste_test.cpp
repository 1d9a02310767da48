// Hostile text put into the real Qt entry, offscreen, by setText and by a clipboard paste: each
// is answered by bands or one refusal and leaves the window usable. Times are printed, not judged.
#include "app/qt/entry_box.h"
#include "app/qt/qt_kestrand.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "test_texts.h"

#include <gtest/gtest.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using kestrand::layout::Control;
using kestrand::qtui::QtKestrand;

const QStringList kReset = [] {
    QStringList bands;
    for (const std::string& band : kestrand::testing::kResetBands) {
        bands << QString::fromStdString(band);
    }
    return bands;
}();
const QStringList kTwoHundred{"0-40", " 41-80", " 81-120", " 121+"};

enum class Way { SetText, ShiftInsert };

struct PasteRow {
    const char* name;
    QString text;
    // The refusal, or none for bands.
    std::optional<levels::Refusal> refusal;
};

QString surrounding(const char* before, QChar unit, const char* after) {
    return QString::fromLatin1(before) + unit + QString::fromLatin1(after);
}

// "0-U0", " L1-U1" or "-L1-U1", the same for the next, and "L3+", the lower
// bounds in a sign column.
bool wellFormed(const QStringList& bands) {
    static const std::vector<QRegularExpression> shapes{
        QRegularExpression(R"(^0-(0|-?[1-9]\d*)$)"),
        QRegularExpression(R"(^( (0|[1-9]\d*)|-[1-9]\d*)-(0|-?[1-9]\d*)$)"),
        QRegularExpression(R"(^( (0|[1-9]\d*)|-[1-9]\d*)-(0|-?[1-9]\d*)$)"),
        QRegularExpression(R"(^( (0|[1-9]\d*)|-[1-9]\d*)\+$)"),
    };
    for (int i = 0; i < 4; ++i) {
        if (!shapes[static_cast<std::size_t>(i)].match(bands[i]).hasMatch()) {
            return false;
        }
    }
    return true;
}

class HostilePaste : public testing::TestWithParam<std::tuple<PasteRow, Way>> {
protected:
    HostilePaste() : app_([this](const levels::Message& m) { messages_.push_back(m); }) {
        QLocale::setDefault(QLocale::c());
        app_.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&app_.window()));
    }

    QLineEdit* entry() { return app_.window().entry(); }
    QStringList bands() {
        QStringList texts;
        for (int i = 0; i < 4; ++i) {
            texts << app_.window().band(i)->text();
        }
        return texts;
    }

    // Milliseconds the paste took, drawing included. The entry has no length
    // limit, so a megabyte arrives whole.
    qint64 put(const QString& text, Way way) {
        entry()->setFocus();
        QElapsedTimer timer;
        timer.start();
        if (way == Way::SetText) {
            entry()->setText(text);
        } else {
            QGuiApplication::clipboard()->setText(text);
            entry()->selectAll();
            QTest::keyClick(entry(), Qt::Key_Insert, Qt::ShiftModifier);
        }
        QCoreApplication::processEvents(); // the repaint counts
        return timer.elapsed();
    }

    // What one calculation left: the refusal's title ("" for none) and the bands.
    struct Outcome final {
        std::string refusal;
        QStringList bands;
        qint64 ms;
    };
    Outcome calculate() {
        const std::size_t before = messages_.size();
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(app_.window().button(Control::cmdCalculate), Qt::LeftButton);
        QCoreApplication::processEvents();
        const qint64 ms = timer.elapsed();
        EXPECT_LE(messages_.size(), before + 1) << "one refusal at most";
        if (messages_.size() == before) {
            EXPECT_TRUE(wellFormed(bands())) << bands().join('|').toStdString();
            return {"", bands(), ms};
        }
        EXPECT_EQ(bands(), kReset) << "a refusal resets every band";
        EXPECT_EQ(entry()->text(), "0");
        EXPECT_TRUE(entry()->hasFocus());
        return {messages_.back().title, bands(), ms};
    }

    QtKestrand app_;
    std::vector<levels::Message> messages_;
};

TEST_P(HostilePaste, IsAnsweredAndLeavesTheWindowUsable) {
    const auto& [row, way] = GetParam();
    const qint64 pasteMs = put(row.text, way);
    const QString held = entry()->text();
    const Outcome first = calculate();
    EXPECT_EQ(first.refusal,
              row.refusal ? kestrand::testing::refusalTitle(*row.refusal) : std::string());

    const qint64 repasteMs = put(row.text, way);
    EXPECT_EQ(entry()->text(), held) << "the same paste holds the same text";
    const Outcome again = calculate();
    EXPECT_EQ(again.refusal, first.refusal) << "the same paste is answered the same way";
    EXPECT_EQ(again.bands, first.bands);

    entry()->setFocus();
    entry()->selectAll();
    QTest::keyClicks(entry(), "200");
    calculate();
    EXPECT_EQ(bands(), kTwoHundred);

    std::cout << "[ timing   ] " << row.name << (way == Way::SetText ? " setText" : " Shift+Insert")
              << ": " << row.text.size() << " units, entry holds " << held.size() << "; paste "
              << pasteMs << "+" << repasteMs << " ms, Calculate " << first.ms << "+" << again.ms
              << " ms\n";
}

constexpr levels::Refusal kZero = levels::Refusal::Zero;
constexpr levels::Refusal kHigh = levels::Refusal::TooHigh;
constexpr levels::Refusal kLow = levels::Refusal::TooLow;

INSTANTIATE_TEST_SUITE_P(
    Rows, HostilePaste,
    testing::Combine(
        testing::Values(
            PasteRow{"MegabyteOfDigits", QString(1 << 20, u'7'), kHigh},
            PasteRow{"MegabyteOfLetters", QString(1 << 20, u'x'), kZero},
            PasteRow{"MegabyteOfBlanksThenDigits", QString(1 << 20, u' ') + "200", std::nullopt},
            PasteRow{"Nul", surrounding("2", QChar(0), "00"), kLow},
            PasteRow{"Tabs", "\t2\t0\t0\t", std::nullopt},
            PasteRow{"CarriageReturnLineFeed", "2\r\n00", kLow},
            PasteRow{"LineFeed", "2\n00", std::nullopt},
            PasteRow{"ArabicIndicDigits", QString::fromUtf8("\u0662\u0660\u0660"), kZero},
            PasteRow{"FullwidthDigits", QString::fromUtf8("\uFF12\uFF10\uFF10"), kZero},
            PasteRow{"MixedScriptDigits", QString::fromUtf8("2\u0660\u0660"), kLow},
            PasteRow{"LoneHighSurrogate", surrounding("", QChar(0xD800), "200"), kZero},
            PasteRow{"LoneLowSurrogateAfter", surrounding("200", QChar(0xDC00), ""), std::nullopt},
            PasteRow{"NegativeBeyondSixteenBits", "-54616", kLow},
            PasteRow{"Exponent", "1e4", std::nullopt}),
        testing::Values(Way::SetText, Way::ShiftInsert)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == Way::SetText ? "_SetText" : "_ShiftInsert");
    });

} // namespace
