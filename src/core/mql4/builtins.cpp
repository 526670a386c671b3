#include "mql4/builtins.hpp"

#include <cstdint>

namespace zorvik::mql4 {
namespace {

// -------------------------------------------------------------------------------------------
// Functions: one prototype each, written as the MQL4 reference writes it. `any` takes every
// type; "..." any number of further scalar arguments. The first column names the standard
// header that declares the function, empty for the terminal's own.

struct PrototypeRow {
  std::string_view header;
  std::string_view prototype;
};

constexpr PrototypeRow kPrototypes[] = {
    // Account
    {"", "double AccountBalance()"},
    {"", "double AccountCredit()"},
    {"", "string AccountCompany()"},
    {"", "string AccountCurrency()"},
    {"", "double AccountEquity()"},
    {"", "double AccountFreeMargin()"},
    {"", "double AccountFreeMarginCheck(string symbol, int cmd, double volume)"},
    {"", "double AccountFreeMarginMode()"},
    {"", "int AccountLeverage()"},
    {"", "double AccountMargin()"},
    {"", "string AccountName()"},
    {"", "int AccountNumber()"},
    {"", "double AccountProfit()"},
    {"", "string AccountServer()"},
    {"", "int AccountStopoutLevel()"},
    {"", "int AccountStopoutMode()"},
    {"", "double AccountInfoDouble(int property_id)"},
    {"", "long AccountInfoInteger(int property_id)"},
    {"", "string AccountInfoString(int property_id)"},
    // Checkup and terminal
    {"", "int GetLastError()"},
    {"", "void ResetLastError()"},
    {"", "bool IsConnected()"},
    {"", "bool IsDemo()"},
    {"", "bool IsDllsAllowed()"},
    {"", "bool IsExpertEnabled()"},
    {"", "bool IsLibrariesAllowed()"},
    {"", "bool IsOptimization()"},
    {"", "bool IsStopped()"},
    {"", "bool IsTesting()"},
    {"", "bool IsTradeAllowed()"},
    {"", "bool IsTradeAllowed(string symbol, datetime tested_time)"},
    {"", "bool IsTradeContextBusy()"},
    {"", "bool IsVisualMode()"},
    {"", "int UninitializeReason()"},
    {"", "string TerminalCompany()"},
    {"", "string TerminalName()"},
    {"", "string TerminalPath()"},
    {"", "int MQLInfoInteger(int property_id)"},
    {"", "string MQLInfoString(int property_id)"},
    {"", "int TerminalInfoInteger(int property_id)"},
    {"", "double TerminalInfoDouble(int property_id)"},
    {"", "string TerminalInfoString(int property_id)"},
    // Market info
    {"", "double MarketInfo(string symbol, int type)"},
    {"", "double SymbolInfoDouble(string name, int prop_id)"},
    {"", "long SymbolInfoInteger(string name, int prop_id)"},
    {"", "string SymbolInfoString(string name, int prop_id)"},
    {"", "int SymbolsTotal(bool selected)"},
    {"", "string SymbolName(int pos, bool selected)"},
    {"", "bool SymbolSelect(string name, bool select)"},
    {"", "bool RefreshRates()"},
    {"", "string Symbol()"},
    {"", "int Period()"},
    // Common
    {"", "void Alert(...)"},
    {"", "void Comment(...)"},
    {"", "void Print(...)"},
    {"", "void PrintFormat(string format_string, ...)"},
    {"", "uint GetTickCount()"},
    {"", "ulong GetMicrosecondCount()"},
    {"", "int MessageBox(string text=NULL, string caption=NULL, int flags=0)"},
    {"", "bool PlaySound(string filename)"},
    {"", "bool SendFTP(string filename, string ftp_path=NULL)"},
    {"", "bool SendMail(string subject, string some_text)"},
    {"", "bool SendNotification(string text)"},
    {"", "void Sleep(int milliseconds)"},
    {"", "void ExpertRemove()"},
    {"", "void DebugBreak()"},
    {"", "bool TerminalClose(int ret_code)"},
    {"", "string WindowExpertName()"},
    {"", "void WindowRedraw()"},
    {"", "void ChartRedraw(long chart_id=0)"},
    {"", "long ChartID()"},
    {"", "void HideTestIndicators(bool hide)"},
    {"", "bool EventSetTimer(int seconds)"},
    {"", "bool EventSetMillisecondTimer(int milliseconds)"},
    {"", "void EventKillTimer()"},
    // Conversion
    {"", "string CharToStr(int char_code)"},
    {"", "string CharToString(int char_code)"},
    {"", "string DoubleToStr(double value, int digits)"},
    {"", "string DoubleToString(double value, int digits=8)"},
    {"", "double NormalizeDouble(double value, int digits)"},
    {"", "double StrToDouble(string value)"},
    {"", "int StrToInteger(string value)"},
    {"", "datetime StrToTime(string value)"},
    {"", "double StringToDouble(string value)"},
    {"", "long StringToInteger(string value)"},
    {"", "datetime StringToTime(string value)"},
    {"", "string TimeToStr(datetime value, int mode=TIME_DATE|TIME_MINUTES)"},
    {"", "string TimeToString(datetime value, int mode=TIME_DATE|TIME_MINUTES)"},
    {"", "string IntegerToString(long number, int str_len=0, ushort fill_symbol=' ')"},
    {"", "string ColorToString(color color_value, bool color_name=false)"},
    {"", "color StringToColor(string color_string)"},
    // Math
    {"", "double MathAbs(double value)"},
    {"", "double MathArccos(double val)"},
    {"", "double MathArcsin(double val)"},
    {"", "double MathArctan(double value)"},
    {"", "double MathCeil(double val)"},
    {"", "double MathCos(double value)"},
    {"", "double MathExp(double value)"},
    {"", "double MathFloor(double val)"},
    {"", "double MathLog(double val)"},
    {"", "double MathLog10(double val)"},
    {"", "double MathMax(double value1, double value2)"},
    {"", "double MathMin(double value1, double value2)"},
    {"", "double MathMod(double value, double value2)"},
    {"", "double MathPow(double base, double exponent)"},
    {"", "int MathRand()"},
    {"", "double MathRound(double value)"},
    {"", "double MathSin(double value)"},
    {"", "double MathSqrt(double value)"},
    {"", "void MathSrand(int seed)"},
    {"", "double MathTan(double rad)"},
    {"", "bool MathIsValidNumber(double number)"},
    {"", "double fabs(double value)"},
    {"", "double fmax(double value1, double value2)"},
    {"", "double fmin(double value1, double value2)"},
    {"", "double fmod(double value, double value2)"},
    {"", "double pow(double base, double exponent)"},
    {"", "double sqrt(double value)"},
    {"", "double floor(double val)"},
    {"", "double ceil(double val)"},
    {"", "double round(double value)"},
    {"", "double log(double val)"},
    {"", "double exp(double value)"},
    {"", "int rand()"},
    {"", "void srand(int seed)"},
    // Strings
    {"", "string StringConcatenate(...)"},
    {"", "int StringFind(string text, string matched_text, int start=0)"},
    {"", "int StringGetChar(string text, int pos)"},
    {"", "ushort StringGetCharacter(string string_value, int pos)"},
    {"", "int StringLen(string text)"},
    {"", "string StringSetChar(string text, int pos, int value)"},
    {"", "string StringSubstr(string text, int start, int length=-1)"},
    {"", "string StringTrimLeft(string text)"},
    {"", "string StringTrimRight(string text)"},
    {"", "bool StringToLower(string &string_var)"},
    {"", "bool StringToUpper(string &string_var)"},
    {"", "int StringReplace(string &str, string find, string replacement)"},
    {"", "int StringSplit(string string_value, ushort separator, string &result[])"},
    {"", "string StringFormat(string format, ...)"},
    {"", "int StringCompare(string string1, string string2, bool case_sensitive=true)"},
    {"", "bool StringAdd(string &string_var, string add_substring)"},
    // Date and time
    {"", "int Day()"},
    {"", "int DayOfWeek()"},
    {"", "int DayOfYear()"},
    {"", "int Hour()"},
    {"", "int Minute()"},
    {"", "int Month()"},
    {"", "int Seconds()"},
    {"", "int Year()"},
    {"", "datetime TimeCurrent()"},
    {"", "datetime TimeLocal()"},
    {"", "datetime TimeGMT()"},
    {"", "int TimeDay(datetime date)"},
    {"", "int TimeDayOfWeek(datetime date)"},
    {"", "int TimeDayOfYear(datetime date)"},
    {"", "int TimeHour(datetime time)"},
    {"", "int TimeMinute(datetime time)"},
    {"", "int TimeMonth(datetime time)"},
    {"", "int TimeSeconds(datetime time)"},
    {"", "int TimeYear(datetime time)"},
    {"", "int TimeGMTOffset()"},
    {"", "int TimeDaylightSavings()"},
    // Arrays
    {"", "int ArrayBsearch(const any &array[], double value, int count=WHOLE_ARRAY, int start=0, int direction=MODE_ASCEND)"},
    {"", "int ArrayCopy(any &dst_array[], const any &src_array[], int dst_start=0, int src_start=0, int count=WHOLE_ARRAY)"},
    {"", "int ArrayInitialize(any &array[], any value)"},
    {"", "int ArrayMaximum(const any &array[], int count=WHOLE_ARRAY, int start=0)"},
    {"", "int ArrayMinimum(const any &array[], int count=WHOLE_ARRAY, int start=0)"},
    {"", "int ArrayRange(const any &array[], int rank_index)"},
    {"", "int ArrayResize(any &array[], int new_size, int reserve_size=0)"},
    {"", "bool ArraySetAsSeries(const any &array[], bool flag)"},
    {"", "bool ArrayGetAsSeries(const any &array[])"},
    {"", "bool ArrayIsSeries(const any &array[])"},
    {"", "bool ArrayIsDynamic(const any &array[])"},
    {"", "int ArraySize(const any &array[])"},
    {"", "int ArrayDimension(const any &array[])"},
    {"", "int ArraySort(any &array[], int count=WHOLE_ARRAY, int start=0, int direction=MODE_ASCEND)"},
    {"", "void ArrayFree(any &array[])"},
    {"", "void ArrayFill(any &array[], int start, int count, any value)"},
    // Trading
    {"", "bool OrderClose(int ticket, double lots, double price, int slippage, color arrow_color=clrNONE)"},
    {"", "bool OrderCloseBy(int ticket, int opposite, color arrow_color=clrNONE)"},
    {"", "double OrderClosePrice()"},
    {"", "datetime OrderCloseTime()"},
    {"", "string OrderComment()"},
    {"", "double OrderCommission()"},
    {"", "bool OrderDelete(int ticket, color arrow_color=clrNONE)"},
    {"", "datetime OrderExpiration()"},
    {"", "double OrderLots()"},
    {"", "int OrderMagicNumber()"},
    {"", "bool OrderModify(int ticket, double price, double stoploss, double takeprofit, datetime expiration, color arrow_color=clrNONE)"},
    {"", "double OrderOpenPrice()"},
    {"", "datetime OrderOpenTime()"},
    {"", "void OrderPrint()"},
    {"", "double OrderProfit()"},
    {"", "bool OrderSelect(int index, int select, int pool=MODE_TRADES)"},
    {"", "int OrderSend(string symbol, int cmd, double volume, double price, int slippage, double stoploss, double takeprofit, string comment=NULL, int magic=0, datetime expiration=0, color arrow_color=clrNONE)"},
    {"", "int OrdersHistoryTotal()"},
    {"", "double OrderStopLoss()"},
    {"", "int OrdersTotal()"},
    {"", "double OrderSwap()"},
    {"", "string OrderSymbol()"},
    {"", "double OrderTakeProfit()"},
    {"", "int OrderTicket()"},
    {"", "int OrderType()"},
    // Timeseries
    {"", "int iBars(string symbol, int timeframe)"},
    {"", "int iBarShift(string symbol, int timeframe, datetime time, bool exact=false)"},
    {"", "double iClose(string symbol, int timeframe, int shift)"},
    {"", "double iHigh(string symbol, int timeframe, int shift)"},
    {"", "double iLow(string symbol, int timeframe, int shift)"},
    {"", "double iOpen(string symbol, int timeframe, int shift)"},
    {"", "datetime iTime(string symbol, int timeframe, int shift)"},
    {"", "long iVolume(string symbol, int timeframe, int shift)"},
    {"", "int iHighest(string symbol, int timeframe, int type, int count=WHOLE_ARRAY, int start=0)"},
    {"", "int iLowest(string symbol, int timeframe, int type, int count=WHOLE_ARRAY, int start=0)"},
    // Technical indicators
    {"", "double iAC(string symbol, int timeframe, int shift)"},
    {"", "double iAD(string symbol, int timeframe, int shift)"},
    {"", "double iADX(string symbol, int timeframe, int period, int applied_price, int mode, int shift)"},
    {"", "double iAlligator(string symbol, int timeframe, int jaw_period, int jaw_shift, int teeth_period, int teeth_shift, int lips_period, int lips_shift, int ma_method, int applied_price, int mode, int shift)"},
    {"", "double iAO(string symbol, int timeframe, int shift)"},
    {"", "double iATR(string symbol, int timeframe, int period, int shift)"},
    {"", "double iBearsPower(string symbol, int timeframe, int period, int applied_price, int shift)"},
    {"", "double iBands(string symbol, int timeframe, int period, double deviation, int bands_shift, int applied_price, int mode, int shift)"},
    {"", "double iBandsOnArray(double &array[], int total, int period, double deviation, int bands_shift, int mode, int shift)"},
    {"", "double iBullsPower(string symbol, int timeframe, int period, int applied_price, int shift)"},
    {"", "double iCCI(string symbol, int timeframe, int period, int applied_price, int shift)"},
    {"", "double iCCIOnArray(double &array[], int total, int period, int shift)"},
    {"", "double iCustom(string symbol, int timeframe, string name, ...)"},
    {"", "double iDeMarker(string symbol, int timeframe, int period, int shift)"},
    {"", "double iEnvelopes(string symbol, int timeframe, int ma_period, int ma_method, int ma_shift, int applied_price, double deviation, int mode, int shift)"},
    {"", "double iEnvelopesOnArray(double &array[], int total, int ma_period, int ma_method, int ma_shift, double deviation, int mode, int shift)"},
    {"", "double iForce(string symbol, int timeframe, int period, int ma_method, int applied_price, int shift)"},
    {"", "double iFractals(string symbol, int timeframe, int mode, int shift)"},
    {"", "double iGator(string symbol, int timeframe, int jaw_period, int jaw_shift, int teeth_period, int teeth_shift, int lips_period, int lips_shift, int ma_method, int applied_price, int mode, int shift)"},
    {"", "double iIchimoku(string symbol, int timeframe, int tenkan_sen, int kijun_sen, int senkou_span_b, int mode, int shift)"},
    {"", "double iBWMFI(string symbol, int timeframe, int shift)"},
    {"", "double iMomentum(string symbol, int timeframe, int period, int applied_price, int shift)"},
    {"", "double iMomentumOnArray(double &array[], int total, int period, int shift)"},
    {"", "double iMFI(string symbol, int timeframe, int period, int shift)"},
    {"", "double iMA(string symbol, int timeframe, int ma_period, int ma_shift, int ma_method, int applied_price, int shift)"},
    {"", "double iMAOnArray(double &array[], int total, int ma_period, int ma_shift, int ma_method, int shift)"},
    {"", "double iOsMA(string symbol, int timeframe, int fast_ema_period, int slow_ema_period, int signal_period, int applied_price, int shift)"},
    {"", "double iMACD(string symbol, int timeframe, int fast_ema_period, int slow_ema_period, int signal_period, int applied_price, int mode, int shift)"},
    {"", "double iOBV(string symbol, int timeframe, int applied_price, int shift)"},
    {"", "double iSAR(string symbol, int timeframe, double step, double maximum, int shift)"},
    {"", "double iRSI(string symbol, int timeframe, int period, int applied_price, int shift)"},
    {"", "double iRSIOnArray(double &array[], int total, int period, int shift)"},
    {"", "double iRVI(string symbol, int timeframe, int period, int mode, int shift)"},
    {"", "double iStdDev(string symbol, int timeframe, int ma_period, int ma_shift, int ma_method, int applied_price, int shift)"},
    {"", "double iStdDevOnArray(double &array[], int total, int ma_period, int ma_shift, int ma_method, int shift)"},
    {"", "double iStochastic(string symbol, int timeframe, int Kperiod, int Dperiod, int slowing, int method, int price_field, int mode, int shift)"},
    {"", "double iWPR(string symbol, int timeframe, int period, int shift)"},
    // Objects
    {"", "bool ObjectCreate(string object_name, int object_type, int sub_window, datetime time1, double price1, datetime time2=0, double price2=0, datetime time3=0, double price3=0)"},
    {"", "bool ObjectCreate(long chart_id, string object_name, int object_type, int sub_window, datetime time1, double price1, datetime time2=0, double price2=0, datetime time3=0, double price3=0)"},
    {"", "bool ObjectDelete(string object_name)"},
    {"", "bool ObjectDelete(long chart_id, string object_name)"},
    {"", "int ObjectFind(string object_name)"},
    {"", "int ObjectFind(long chart_id, string object_name)"},
    {"", "bool ObjectSet(string object_name, int index, double value)"},
    {"", "double ObjectGet(string object_name, int index)"},
    {"", "bool ObjectSetText(string object_name, string text, int font_size=0, string font_name=NULL, color text_color=clrNONE)"},
    {"", "string ObjectDescription(string object_name)"},
    {"", "bool ObjectMove(string object_name, int point_index, datetime time, double price)"},
    {"", "string ObjectName(int object_index)"},
    {"", "int ObjectsTotal(int type=EMPTY)"},
    {"", "int ObjectsDeleteAll(int sub_window=EMPTY, int object_type=EMPTY)"},
    {"", "bool ObjectSetInteger(long chart_id, string object_name, int prop_id, long prop_value)"},
    {"", "bool ObjectSetDouble(long chart_id, string object_name, int prop_id, double prop_value)"},
    {"", "bool ObjectSetString(long chart_id, string object_name, int prop_id, string prop_value)"},
    {"", "long ObjectGetInteger(long chart_id, string object_name, int prop_id, int prop_modifier=0)"},
    {"", "double ObjectGetDouble(long chart_id, string object_name, int prop_id, int prop_modifier=0)"},
    {"", "string ObjectGetString(long chart_id, string object_name, int prop_id, int prop_modifier=0)"},
    // Global variables of the terminal
    {"", "bool GlobalVariableCheck(string name)"},
    {"", "bool GlobalVariableDel(string name)"},
    {"", "double GlobalVariableGet(string name)"},
    {"", "string GlobalVariableName(int index)"},
    {"", "datetime GlobalVariableSet(string name, double value)"},
    {"", "bool GlobalVariableSetOnCondition(string name, double value, double check_value)"},
    {"", "int GlobalVariablesDeleteAll(string prefix_name=NULL, datetime limit_data=0)"},
    {"", "datetime GlobalVariableTime(string name)"},
    {"", "int GlobalVariablesTotal()"},
    // Files
    {"", "int FileOpen(string file_name, int open_flags, short delimiter='\\t', uint codepage=CP_ACP)"},
    {"", "void FileClose(int file_handle)"},
    {"", "void FileFlush(int file_handle)"},
    {"", "bool FileDelete(string file_name, int common_flag=0)"},
    {"", "bool FileIsEnding(int file_handle)"},
    {"", "bool FileIsExist(string file_name, int common_flag=0)"},
    {"", "double FileReadNumber(int file_handle)"},
    {"", "string FileReadString(int file_handle, int length=-1)"},
    {"", "bool FileSeek(int file_handle, long offset, int origin)"},
    {"", "ulong FileSize(int file_handle)"},
    {"", "ulong FileTell(int file_handle)"},
    {"", "uint FileWrite(int file_handle, ...)"},
    {"", "uint FileWriteString(int file_handle, string text_string, int length=-1)"},
    // <stdlib.mqh>
    {"stdlib.mqh", "string ErrorDescription(int error_code)"},
    {"stdlib.mqh", "bool CompareDoubles(double number1, double number2)"},
    {"stdlib.mqh", "string DoubleToStrMorePrecision(double number, int precision)"},
    {"stdlib.mqh", "string IntegerToHexString(int integer_number)"},
    {"stdlib.mqh", "int RGB(int red_value, int green_value, int blue_value)"},
};

// The headers of the terminal's include folder an Expert Advisor includes. <stderror.mqh> and
// <WinUser32.mqh> declare constants the terminal knows anyway since build 600.
constexpr std::string_view kHeaders[] = {"stdlib.mqh", "stderror.mqh", "winuser32.mqh"};

Type scalar(BaseType b) { return {b, 0}; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// "double iMA(string symbol, int timeframe, ...)" -> Builtin. The table above is ours, so a
// row it cannot read is a programming error caught by the tests, not an input fault.
Builtin parsePrototype(std::string_view header, std::string_view proto) {
  Builtin b;
  b.header = std::string(header);
  const std::size_t open = proto.find('(');
  const std::string_view head = trim(proto.substr(0, open));
  const std::size_t gap = head.rfind(' ');
  BaseType ret = BaseType::Error;
  baseTypeOfKeyword(head.substr(0, gap), ret);
  b.returnType = scalar(ret);
  b.name = std::string(head.substr(gap + 1));
  std::string_view list = proto.substr(open + 1, proto.rfind(')') - open - 1);
  while (!trim(list).empty()) {
    // Split at the next comma outside quotes (a default may be ',').
    std::size_t cut = 0;
    bool quoted = false;
    for (; cut < list.size(); ++cut) {
      if (list[cut] == '\'') quoted = !quoted;
      if (list[cut] == ',' && !quoted) break;
    }
    std::string_view item = trim(list.substr(0, cut));
    list = cut < list.size() ? list.substr(cut + 1) : std::string_view{};
    if (item == "...") {
      b.variadic = true;
      continue;
    }
    BuiltinParam p;
    if (const std::size_t eq = item.find('='); eq != std::string_view::npos) {
      p.hasDefault = true;
      p.defaultText = std::string(trim(item.substr(eq + 1)));
      item = trim(item.substr(0, eq));
    }
    if (item.substr(0, 6) == "const ") item = item.substr(6);
    const std::size_t space = item.find(' ');
    const std::string_view typeWord = item.substr(0, space);
    std::string_view name = trim(item.substr(space + 1));
    BaseType base = BaseType::Any;
    if (typeWord != "any") baseTypeOfKeyword(typeWord, base);
    p.type = scalar(base);
    if (!name.empty() && name.front() == '&') {
      p.isReference = true;
      name.remove_prefix(1);
    }
    while (name.size() >= 2 && name.substr(name.size() - 2) == "[]") {
      ++p.type.dims;
      name.remove_suffix(2);
    }
    p.name = std::string(name);
    if (!p.hasDefault) ++b.minArgs;
    b.params.push_back(std::move(p));
  }
  return b;
}

}  // namespace

BuiltinTable::BuiltinTable() {
  functions_.reserve(std::size(kPrototypes));
  for (const PrototypeRow& row : kPrototypes) functions_.push_back(parsePrototype(row.header, row.prototype));
  for (const Builtin& b : functions_) byName_[b.name].push_back(&b);

  values_ = predefinedValues();
  for (const BuiltinValue& v : values_) valueByName_[v.name] = &v;
}

const BuiltinTable& BuiltinTable::instance() {
  static const BuiltinTable table;
  return table;
}

const std::vector<const Builtin*>& BuiltinTable::functions(std::string_view name) const {
  static const std::vector<const Builtin*> none;
  const auto it = byName_.find(name);
  return it == byName_.end() ? none : it->second;
}

const BuiltinValue* BuiltinTable::value(std::string_view name) const {
  const auto it = valueByName_.find(name);
  return it == valueByName_.end() ? nullptr : it->second;
}

bool BuiltinTable::knowsHeader(std::string_view name) const {
  std::string lower(name);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (std::string_view h : kHeaders)
    if (h == lower) return true;
  return false;
}

}  // namespace zorvik::mql4
