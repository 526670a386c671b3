// The editors' rules without a window: rows, slider numbers, choice rows, the indicator list of
// a signal group, its edits and copies, and the choices of the settings editors.
#include <gtest/gtest.h>

#include "analysis/group_copies.hpp"
#include "editors/parameter_rows.hpp"
#include "editors/settings_editing.hpp"
#include "editors/signal_group_editing.hpp"
#include "model/component_files.hpp"
#include "model/trading_system.hpp"
#include "test_support.hpp"
#include "text/numbers.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;

TEST(ParameterRows, KindsAndColumns) {
  EXPECT_EQ(rowKindOf(""), RowKind::Slider);
  EXPECT_EQ(rowKindOf("-"), RowKind::Slider);
  EXPECT_EQ(rowKindOf("!"), RowKind::Text);
  EXPECT_EQ(rowKindOf("&"), RowKind::MultiText);
  EXPECT_EQ(rowKindOf("Timeframes"), RowKind::Combo);

  EXPECT_EQ(columnSetFor(340), kCompactColumns);
  EXPECT_EQ(columnSetFor(341), kWideColumns);
  EXPECT_EQ(columnSetForContainer(kWideColumns, 340), kCompactColumns);
  EXPECT_EQ(columnSetForContainer(kWideColumns, 600), kWideColumns);
  EXPECT_EQ(columnSetForContainer(kCompactColumns, 600), kCompactColumns);

  const RowColumns wide = rowColumns(kWideColumns, 600);
  EXPECT_EQ(wide.captionX, 16);
  EXPECT_EQ(wide.middleX, 16 + 112 + 8);
  EXPECT_EQ(wide.middleWidth, 600 - 2 * (16 + 8) - 106 - 112);
  EXPECT_EQ(wide.valueX, 600 - 16 - 106);
  // The three columns fill the container: middle ends one gap before the value column.
  EXPECT_EQ(wide.middleX + wide.middleWidth + kWideColumns.gap, wide.valueX);
  EXPECT_EQ(rowColumns(kCompactColumns, 100).middleWidth, 0);
}

TEST(ParameterRows, SliderAndTextStayInStepWithScaleAndZeroText) {
  TestWorkspace t;
  const Catalogue& c = t.ws->catalogue;

  // Scale 100: 0.01..0.1 step 0.01 are positions 1..10 step 1.
  const ParameterCoding& step = *c.parameter("pa_step");
  EXPECT_EQ(sliderRangeFor(step, "0.02"), (SliderRange{1, 10, 1, 2}));
  EXPECT_EQ(sliderText(5, step.scale), ".05");
  EXPECT_EQ(positionOfText("0.07", step.scale, step.zeroText), 7);
  EXPECT_EQ(positionOfText(".07abc", step.scale, step.zeroText), 7);
  EXPECT_EQ(positionOfText("", step.scale, step.zeroText), 0);
  // A value finer than the step goes to the nearest position, halves to even.
  EXPECT_EQ(positionOfText("0.075", step.scale, step.zeroText), 8);
  EXPECT_EQ(positionOfText("0.065", step.scale, step.zeroText), 6);

  // Stops have scale 0 (positions are the values) and the zero text "n.V".
  const ParameterCoding& sl = *c.parameter("stop_sl");
  EXPECT_EQ(sliderRangeFor(sl, "0"), (SliderRange{0, 300, 1, 0}));
  EXPECT_EQ(displayedValue("0", sl.zeroText), "n.V");
  EXPECT_EQ(displayedValue("25", sl.zeroText), "25");
  EXPECT_EQ(positionOfText("n.V", sl.scale, sl.zeroText), 0);
  EXPECT_EQ(storedValueOfText("n.V", sl.zeroText), "0");
  EXPECT_EQ(storedValueOfText("12", sl.zeroText), "12");
  EXPECT_EQ(sliderText(40, sl.scale), "40");

  const ParameterCoding& lots = *c.parameter("mm_lots");
  EXPECT_EQ(sliderRangeFor(lots, "1.5"), (SliderRange{0, 2000, 1, 150}));
  EXPECT_EQ(sliderText(150, lots.scale), "1.5");
  EXPECT_EQ(displayedValue("0", lots.zeroText), "0");  // no zero text: "0" stays
  // Positions are 16-bit.
  EXPECT_EQ(positionOfText("1e9", 1, ""), 32767);
}

TEST(ParameterRows, ChoiceRows) {
  TestWorkspace t;
  const Workspace& ws = *t.ws;
  const auto timeframes = comboEntries(ws, "timeframe");
  ASSERT_TRUE(timeframes);
  ASSERT_GE(timeframes->size(), 4u);
  EXPECT_FALSE(comboEntries(ws, "period"));
  const auto symbols = comboEntries(ws, "mm_symbol");
  ASSERT_TRUE(symbols);
  EXPECT_EQ(symbols->front(), "Symbol()");

  const std::string h1 = comboDisplayText(ws, "timeframe", "idH1");
  EXPECT_NE(h1, "idH1");
  EXPECT_EQ(comboChosenId(ws, "timeframe", h1), "idH1");
  EXPECT_EQ(comboSelection(*timeframes, h1, "idH1"), 5);
  // "#2" selects the third entry, an unknown value the first one.
  EXPECT_EQ(comboSelection(*timeframes, "#2", "#2"), 2);
  EXPECT_EQ(comboSelection(*timeframes, "#99", "#99"), 0);
  EXPECT_EQ(comboSelection(*timeframes, "idNothing", "idNothing"), 0);
  EXPECT_EQ(comboSelection({}, "x", "x"), -1);
  EXPECT_EQ(comboSelection(*symbols, "Symbol()", "Symbol()"), 0);
}

Indicator indicatorWithValue(std::string type, std::string value) {
  Indicator ind(std::move(type));
  ind.setRaw("comment", "c");
  ind.setRaw("value", std::move(value));
  return ind;
}

TEST(SignalGroupList, SharesTimesNumbersAndSorting) {
  TestWorkspace t;
  SignalGroup g("L");
  g.addIndicator(indicatorWithValue("RSI", "1"));
  g.addIndicator(indicatorWithValue("ADX", "2"));
  g.addIndicator(indicatorWithValue("MACD", "0.6"));  // adds 1 after rounding
  EXPECT_EQ(signalTotal(g), 4);
  g.indicator(3).setRaw("value", "1.4");  // 1 + 2 = 3, 3 + 1.4 = 4.4 -> 4
  EXPECT_EQ(signalTotal(g), 4);

  Indicator ind = indicatorWithValue("RSI", "1");
  ind.setRaw("lastedittime", editTimeText(toDaySerial({2026, 12, 4, 9, 5, 0})));
  const IndicatorListRow row = listRow(t.ws->language, ind, 1, 3);
  EXPECT_EQ(row.columns[0], "RSI");
  EXPECT_EQ(row.columns[1], "4.12.2026 09:05");
  EXPECT_EQ(row.columns[2], "c/1");
  EXPECT_EQ(row.columns[3], "1 von 3=33.33%");
  EXPECT_EQ(row.columns[4], " # 1");
  EXPECT_EQ(editTimeLabel(0), "");

  // 29 of 100 is 28.999... in binary; the share must not lose a hundredth.
  EXPECT_EQ(shareText(t.ws->language, "29", 100), "29 von 100=29%");
  EXPECT_EQ(shareText(t.ws->language, "2", 3), "2 von 3=66.66%");
  EXPECT_EQ(shareText(t.ws->language, "0", 0), "0 von 0=0%");
  EXPECT_EQ(fnk1(0.55), ".5");

  std::vector<IndicatorListRow> rows = listRows(t.ws->language, g);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].columns[4], " # 3");

  ListSorting sorting;
  EXPECT_EQ(sorting.apply(rows)[0].number, 1);  // unsorted: group order
  sorting.click(0);
  EXPECT_EQ(sorting.icon(0), SortIcon::Up);
  EXPECT_EQ(sorting.apply(rows)[0].columns[0], "ADX");
  sorting.click(0);
  EXPECT_EQ(sorting.icon(0), SortIcon::Down);
  EXPECT_EQ(sorting.apply(rows)[0].columns[0], "RSI");
  sorting.click(3);
  EXPECT_EQ(sorting.icon(0), SortIcon::None);
  EXPECT_EQ(sorting.icon(3), SortIcon::Up);
  sorting.click(3);
  sorting.click(3);  // a click on "down" sorts ascending again
  EXPECT_EQ(sorting.icon(3), SortIcon::Up);
}

TEST(SignalGroupEdit, DiscardRestoresExactlyAcceptKeeps) {
  TestWorkspace t;
  SignalGroup g("XL");
  g.addIndicator(newIndicatorWithDefaults(*t.ws, "RSI", 46000.25));
  g.addIndicator(newIndicatorWithDefaults(*t.ws, "ADX", 46000.25));
  const SignalGroup before = g;

  IndicatorEdit edit;
  edit.start(g, 2);
  g.indicator(2).setParameter(t.ws->definitions, t.ws->language, "period", "21");
  edit.editResult = 0;
  EXPECT_TRUE(edit.finish(g, 46001.5));
  EXPECT_EQ(g, before);

  edit.start(g, 1);
  g.indicator(1).setParameter(t.ws->definitions, t.ws->language, "period", "30");
  edit.editResult = 1;
  EXPECT_TRUE(edit.finish(g, 46001.5));
  EXPECT_EQ(g.indicator(1).parameter("period"), "30");
  EXPECT_EQ(g.indicator(1).parameter("lastedittime"), "46001.5");
  EXPECT_EQ(g.editok, 1);
  EXPECT_EQ(g.indicator(2), before.indicator(2));

  IndicatorEdit none;
  EXPECT_FALSE(none.copyValid());
  EXPECT_FALSE(none.finish(g, 1));
}

TEST(SignalGroupEdit, NewIndicatorDefaultsAndGroupRows) {
  TestWorkspace t;
  const Indicator rsi = newIndicatorWithDefaults(*t.ws, "RSI", 46000.5);
  EXPECT_EQ(rsi.type(), "RSI");
  EXPECT_EQ(rsi.parameterName(1), "symbol");
  EXPECT_EQ(rsi.parameter("symbol"), "Symbol()");
  EXPECT_EQ(rsi.parameter("timeframe"), t.ws->definitions.indexToId("timeframe", "#0"));
  EXPECT_EQ(rsi.parameter("period"), "55");
  EXPECT_EQ(rsi.parameter("value"), "1");
  EXPECT_EQ(rsi.parameterName(rsi.parameterCount()), "lastedittime");
  EXPECT_EQ(rsi.parameter("lastedittime"), "46000.5");

  SignalGroup g("XS");
  EXPECT_TRUE(storeGroupValue(g, "stop_tp", "12"));
  EXPECT_TRUE(storeGroupValue(g, "threshold", "50"));
  EXPECT_FALSE(storeGroupValue(g, "period", "5"));
  EXPECT_EQ(groupValue(g, "stop_tp"), "12");
  EXPECT_EQ(g.threshold, "50");

  EXPECT_EQ(toolboxKindOfSelection(0, 3), "");
  EXPECT_EQ(toolboxKindOfSelection(1, 3), "Indikator");
  EXPECT_EQ(toolboxKindOfSelection(3, 3), "Indikatorengruppe");
  EXPECT_EQ(toolboxKindOfSelection(2, 3), "MultiIndikator");
  EXPECT_EQ(toolboxKindOfSelection(1, 1), "Indikator");
}

TEST(SignalGroupEdit, CopyCaptionsAndCopies) {
  TestWorkspace t;
  EXPECT_EQ(settingsCopyCaption(t.ws->language, 1), "Diese L-Einstellungen nach XS kopieren");
  EXPECT_EQ(settingsCopyCaption(t.ws->language, 2), "Diese XL-Einstellungen nach S kopieren");
  EXPECT_EQ(stopCopyCaption(t.ws->language, 2), "Dieses STOP nach XS kopieren");
  EXPECT_EQ(stopCopyCaption(t.ws->language, 4), "Dieses STOP nach XL kopieren");

  TradingSystem& system = t.ws->system();
  system.group(2).sl = "10";
  system.group(2).tp = "20";
  system.group(2).ts = "0";
  system.group(4).sl = "1";
  EXPECT_FALSE(copyStopsToPartner(system, 1));
  EXPECT_TRUE(copyStopsToPartner(system, 2));
  EXPECT_EQ(system.group(4).sl, "10");
  EXPECT_EQ(system.group(4).tp, "20");
  EXPECT_EQ(system.group(4).ts, "0");

  system.group(1).addIndicator(newIndicatorWithDefaults(*t.ws, "ADX", 1));
  system.group(1).threshold = "60";
  system.group(4).sl = "33";
  EXPECT_TRUE(copyToCounterpart(system, 1));
  EXPECT_EQ(system.group(4).name, "XS");
  EXPECT_EQ(system.group(4).threshold, "60");
  EXPECT_EQ(system.group(4).indicators(), system.group(1).indicators());
  EXPECT_EQ(system.group(4).sl, "33");  // the exit group keeps its stops
}

TEST(SettingsEditors, MethodSetsAndAccountBrokers) {
  EXPECT_EQ(moneyManagementSet("idFixed Lots"), "!MMFIXEDLOTS");
  EXPECT_EQ(moneyManagementSet("#0"), "!MMFIXEDLOTS");
  EXPECT_EQ(moneyManagementSet(""), "!MMFIXEDLOTS");
  EXPECT_EQ(moneyManagementSet("idFixed Ratio"), "!MMFIXEDRATIO");
  EXPECT_EQ(moneyManagementSet("idFixed Fractional"), "!MMFIXEDFRACTIONAL");

  EXPECT_EQ(accountNumberOfChoice("100002=Demo LCG"), "100002");
  EXPECT_FALSE(accountNumberOfChoice("100002"));
  const std::vector<KnownAccount> accounts{{"100001", "idActiveTrades"}, {"100002", "idLCG"}};
  EXPECT_EQ(brokerKindOfAccount(accounts, "100002"), 2);
  EXPECT_EQ(brokerKindOfAccount(accounts, "100001"), 1);
  EXPECT_EQ(brokerKindOfAccount(accounts, "999"), 1);
}

}  // namespace
}  // namespace zorvik
