// What the tuner reads at 1024 x 570: panels that keep the start of their values, grid cells
// that round instead of cutting, a status bar whose panels all fit.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <cmath>
#include <functional>

#include "app/cell_colours.h"
#include "app/cell_text_fit.h"
#include "app/elided_label.h"
#include "app/lambda_status.h"
#include "common/text_forms.h"
#include "learning/learning_gate.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

bool WaitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

QString General(double v) {
    return QString::fromStdString(GeneralText(v, DecimalSeparator()));
}

// A record whose values are too long for their panels.
LearningShown LongValues() {
    LearningShown shown;
    shown.live.FsensorAirCycleRate = 411.833333333333;
    shown.live.FsensorAirFuelRatio = 14.1234567890123;
    shown.live.FsensorFuelTimeCorrection = -1.23456789012345;
    shown.live.FsensorCrankshaftSpeed = 3000;
    shown.PcnInterp = 0.978123456789012;
    shown.LambdaCoeff = 1.06477803548431;
    LambdaReading reading;
    reading.AFR = 15.0378593253;
    reading.stochiometric = 14.7;
    reading.Message_LC1 = "15,0";
    shown.reading = reading;
    shown.ramStatusOk = true;
    shown.sendingDelay = 310;
    return shown;
}

TEST_F(Window, PanelsRoundLongValuesToTheirWidth) {
    TMainForm& w = Make();
    w.show();
    w.SetActivePage(TMainForm::kDiag);
    QTest::qWait(50);
    const char* panels[] = {"GBC_panel",      "RzPanel37",    "AFR_PANEL", "coeff_panel",
                            "LC_coeff_panel", "LC_afr_panel", "RzPanel29", "RzPanel7"};
    QHash<QString, int> widths;
    for (const char* name : panels)
        widths[name] = w.Panel(name)->width();
    w.View().RecordProcessed(LongValues());
    ASSERT_TRUE(WaitUntil([&] { return w.Panel("GBC_panel")->text() != "0"; }, 2000));
    QTest::qWait(50);
    for (const char* name : panels) {
        auto* panel = qobject_cast<ElidedLabel*>(w.Panel(name));
        ASSERT_TRUE(panel) << name;
        const QString full = panel->text(), shown = panel->ShownText();
        ASSERT_GT(full.size(), 3) << name;
        EXPECT_EQ(panel->width(), widths[name]) << name;
        if (shown == full)
            continue;
        // A number too wide loses decimals, rounded; it is never cut.
        EXPECT_FALSE(shown.endsWith(QStringLiteral("…"))) << name << " " << shown.toStdString();
        const int sep = int(shown.indexOf(QRegularExpression("[,.]")));
        const int decimals = sep < 0 ? 0 : int(shown.size()) - sep - 1;
        const auto value = [](QString t) { return t.replace(',', '.').toDouble(); };
        EXPECT_NEAR(value(shown), value(full), 0.5 * std::pow(10.0, -decimals) + 1e-12)
            << name << " " << shown.toStdString();
        EXPECT_EQ(panel->ToolTipText(), full) << name;
    }
    EXPECT_EQ(w.Panel("GBC_panel")->text(), General(411.833333333333));
}

TEST(CellTextFit, RoundsDecimalsAwayBeforeCutting) {
    const auto width = [](const QString& s) { return int(s.size()) * 6; };  // 6 px a character
    const struct {
        const char* text;
        int room;
        const char* shown;
    } cases[] = {
        {"0,978", 60, "0,978"},         // fits
        {"0,97812345", 36, "0,9781"},   // learned PCN: decimals that fit
        {"1,0647780354", 30, "1,065"},  // rounded, not cut
        {"411,8333", 24, "412"},        // down to the whole part
        {"-0,04", 12, "0"},             // no minus on a rounded zero
        {"-12,5", 18, "-13"},           // half away from zero
        {"1.25", 18, "1.3"},            // a point separator too
        {"123456", 24, "123…"},         // a whole part that does not fit is cut at its end
        {"Статика", 30, "Стат…"},       // text is cut at its end
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitCellText(QString::fromUtf8(c.text), c.room, width), QString::fromUtf8(c.shown))
            << c.text;
}

TEST_F(Window, StatusBarPanelsFitAt1024Pixels) {
    TMainForm& w = Make();
    w.show();
    QTest::qWait(50);
    const auto allFit = [&](const char* state) {
        QTest::qWait(60);
        for (const char* name :
             {"connection", "ram", "lambda", "learning", "delay", "pressure", "stoichiometry"}) {
            QLabel* label = w.StatusText(name);
            const int need = label->fontMetrics().horizontalAdvance(label->text());
            EXPECT_GE(label->width(), need)
                << state << ": " << name << " \"" << label->text().toStdString() << "\"";
            EXPECT_TRUE(label->isVisible()) << state << ": " << name;
        }
        EXPECT_GE(w.StatusText("notice")->width(), 150) << state;
    };
    allFit("start");
    w.ToggleLearning();
    w.View().RecordProcessed(LongValues());
    ASSERT_TRUE(WaitUntil([&] { return w.StatusText("delay")->text() == "TimeRead: 310"; }, 2000));
    EXPECT_EQ(w.StatusText("ram")->toolTip(), "Swith To Ram : OK");
    EXPECT_EQ(w.StatusText("stoichiometry")->toolTip(), "Stochiometric LC-1: " + General(14.7));
    allFit("live");

    // A log failure is red and stays, cut at its end with the whole text as tooltip.
    const std::string failure =
        "Журнал не записан: /home/tuner/very/long/folder/Logs/(10/12/26_04.15).csv";
    w.View().LogStatus(failure);
    ASSERT_TRUE(WaitUntil(
        [&] { return w.StatusText("notice")->text() == QString::fromStdString(failure); }, 2000));
    auto* notice = qobject_cast<ElidedLabel*>(w.StatusText("notice"));
    ASSERT_TRUE(notice);
    EXPECT_TRUE(notice->property("failure").toBool());
    EXPECT_EQ(notice->ToolTipText(), QString::fromStdString(failure));
    EXPECT_TRUE(notice->ShownText().startsWith("Журнал не записан"));
    allFit("log failure");
    QTest::qWait(100);
    EXPECT_EQ(notice->text(), QString::fromStdString(failure));
    w.View().LogStatus("");
    EXPECT_TRUE(WaitUntil([&] { return notice->text().isEmpty(); }, 2000));
    EXPECT_FALSE(notice->property("failure").toBool());
}

TEST_F(Window, BlockWriteSaysWhatIsBeingWritten) {
    TMainForm& w = Make();
    w.Reload_status(3, 8);
    EXPECT_EQ(w.Progress()->value(), 37);
    EXPECT_EQ(w.StatusText("notice")->text(), "Запись блока OLT: 37 %");
    EXPECT_FALSE(w.StatusText("notice")->property("failure").toBool());
    w.Reload_status(0, 8);
    EXPECT_EQ(w.StatusText("notice")->text(), "");
}

// Every visible caption on `page` has the room its text needs and no sibling painted over it;
// returns how many were checked. Read-outs that elide only need their line's height.
int ExpectCaptionsWhole(QWidget* page) {
    int checked = 0;
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisible())
            continue;
        const std::string text = label->text().toStdString();
        EXPECT_GE(label->contentsRect().height(), label->fontMetrics().height()) << text;
        for (QWidget* other :
             label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other == label || !other->isVisible())
                continue;
            EXPECT_FALSE(other->geometry().intersects(label->geometry()))
                << text << " lies under " << other->objectName().toStdString();
        }
        if (qobject_cast<ElidedLabel*>(label))
            continue;
        if (label->wordWrap()) {
            int word = 0;
            for (const QString& w : label->text().split(' ', Qt::SkipEmptyParts))
                word = std::max(word, label->fontMetrics().horizontalAdvance(w));
            EXPECT_GE(label->contentsRect().width(), word) << text;
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << text;
        } else {
            EXPECT_GE(label->contentsRect().width(),
                      label->fontMetrics().horizontalAdvance(label->text()))
                << text;
        }
        ++checked;
    }
    return checked;
}

TEST_F(Window, DiagFlagCaptionsAreWhole) {
    TMainForm& w = Make();
    w.show();
    w.SetActivePage(TMainForm::kDiag);
    QTest::qWait(50);
    EXPECT_GE(ExpectCaptionsWhole(w.LeftTabs()->currentWidget()), 40);
}

// The tuning tab at the fixed window size, with every learning gate counted at once.
TEST_F(Window, TuningTabCaptionsAreWholeWithEveryGateCounted) {
    TMainForm& w = Make();
    w.show();
    LearningShown shown = LongValues();
    shown.gate = LearningGate::NotStationary;
    shown.gateText = "нет стационарности 3/5";
    shown.gateCounts.fill(123456);
    w.View().RecordProcessed(shown);
    w.RefreshLive();
    QTest::qWait(50);
    QWidget* tab = w.RightTabs()->widget(0);
    EXPECT_GE(ExpectCaptionsWhole(tab), 20);
    for (QAbstractButton* b : tab->findChildren<QAbstractButton*>()) {
        if (b->isVisible()) {
            EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
        }
    }
}

TEST(LambdaWatch, ErrorPacketsAndSilenceAreTrouble) {
    using namespace std::chrono_literals;
    LambdaWatch watch;
    const auto t0 = LambdaWatch::Clock::now();
    watch.Start(t0);
    LambdaReading good;
    good.Message_LC1 = "14,7";
    LambdaReading error;
    error.Message_LC1 = "Error  9";
    const struct {
        const LambdaReading* reading;
        long frames;
        std::chrono::milliseconds at;
        std::optional<LambdaTrouble> trouble;
    } steps[] = {
        {&good, 0, 500ms, std::nullopt},  // none yet, not long enough to call it silence
        {&good, 3, 900ms, std::nullopt},
        {&error, 4, 1000ms, LambdaTrouble{"LC1: Ошибка 9"}},
        {&error, 9, 1400ms, LambdaTrouble{"LC1: Ошибка 9"}},
        {&good, 10, 1500ms, std::nullopt},
        {&good, 10, 2900ms, std::nullopt},
        {&good, 10, 3100ms, LambdaTrouble{"LC1: нет данных"}},
        {&good, 11, 3200ms, std::nullopt},
    };
    for (const auto& s : steps)
        EXPECT_EQ(watch.Update(*s.reading, s.frames, t0 + s.at), s.trouble) << s.at.count();
    LambdaWatch never;
    never.Start(t0);
    EXPECT_EQ(never.Update(LambdaReading{}, 0, t0 + 1600ms), LambdaTrouble{"LC1: нет данных"});
}

TEST(CellColours, ThrottleTableTintStandsOut) {
    const QColor tint(kThrottleTint.r, kThrottleTint.g, kThrottleTint.b);
    EXPECT_LE(tint.lightness(), 200);
}

}  // namespace
}  // namespace veltrano
