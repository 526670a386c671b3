// The predefined variables and series, and the constants with their values (the built-in
// functions' table is in builtins.cpp).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mql4/builtins.hpp"

namespace zorvik::mql4 {
namespace {

// -------------------------------------------------------------------------------------------
// Predefined variables and series; none of them can be assigned.

struct VariableRow {
  std::string_view name;
  BaseType type;
  std::uint8_t dims;
};
constexpr VariableRow kVariables[] = {
    {"Ask", BaseType::Double, 0},      {"Bid", BaseType::Double, 0},      {"Bars", BaseType::Int, 0},
    {"Digits", BaseType::Int, 0},      {"Point", BaseType::Double, 0},    {"Open", BaseType::Double, 1},
    {"High", BaseType::Double, 1},     {"Low", BaseType::Double, 1},      {"Close", BaseType::Double, 1},
    {"Time", BaseType::Datetime, 1},   {"Volume", BaseType::Long, 1},     {"_Digits", BaseType::Int, 0},
    {"_Point", BaseType::Double, 0},   {"_Symbol", BaseType::String, 0},  {"_Period", BaseType::Int, 0},
    {"_LastError", BaseType::Int, 0},  {"_StopFlag", BaseType::Bool, 0},  {"_UninitReason", BaseType::Int, 0},
    {"_RandomSeed", BaseType::Int, 0},
};

// -------------------------------------------------------------------------------------------
// Constants with their values.

struct ConstantRow {
  std::string_view name;
  BaseType type;
  long long value;
};
constexpr ConstantRow kConstants[] = {
    {"NULL", BaseType::Null, 0}, {"TRUE", BaseType::Bool, 1}, {"FALSE", BaseType::Bool, 0}, {"EMPTY", BaseType::Int, -1},
    {"EMPTY_VALUE", BaseType::Int, 2147483647}, {"CLR_NONE", BaseType::Color, -1}, {"clrNONE", BaseType::Color, -1},
    {"WHOLE_ARRAY", BaseType::Int, -1}, {"INVALID_HANDLE", BaseType::Int, -1}, {"WRONG_VALUE", BaseType::Int, -1},
    {"CHARTS_MAX", BaseType::Int, 100},
    {"CHAR_MIN", BaseType::Int, -128}, {"CHAR_MAX", BaseType::Int, 127}, {"UCHAR_MAX", BaseType::Int, 255},
    {"SHORT_MIN", BaseType::Int, -32768}, {"SHORT_MAX", BaseType::Int, 32767}, {"USHORT_MAX", BaseType::Int, 65535},
    {"INT_MIN", BaseType::Int, -2147483647LL - 1}, {"INT_MAX", BaseType::Int, 2147483647},
    {"UINT_MAX", BaseType::UInt, 4294967295LL}, {"LONG_MIN", BaseType::Long, INT64_MIN},
    {"LONG_MAX", BaseType::Long, INT64_MAX}, {"ULONG_MAX", BaseType::ULong, -1},
    // Orders
    {"OP_BUY", BaseType::Int, 0}, {"OP_SELL", BaseType::Int, 1}, {"OP_BUYLIMIT", BaseType::Int, 2},
    {"OP_SELLLIMIT", BaseType::Int, 3}, {"OP_BUYSTOP", BaseType::Int, 4}, {"OP_SELLSTOP", BaseType::Int, 5},
    {"SELECT_BY_POS", BaseType::Int, 0}, {"SELECT_BY_TICKET", BaseType::Int, 1},
    {"MODE_TRADES", BaseType::Int, 0}, {"MODE_HISTORY", BaseType::Int, 1},
    // Series
    {"MODE_OPEN", BaseType::Int, 0}, {"MODE_LOW", BaseType::Int, 1}, {"MODE_HIGH", BaseType::Int, 2},
    {"MODE_CLOSE", BaseType::Int, 3}, {"MODE_VOLUME", BaseType::Int, 4}, {"MODE_TIME", BaseType::Int, 5},
    // MarketInfo
    {"MODE_BID", BaseType::Int, 9}, {"MODE_ASK", BaseType::Int, 10}, {"MODE_POINT", BaseType::Int, 11},
    {"MODE_DIGITS", BaseType::Int, 12}, {"MODE_SPREAD", BaseType::Int, 13}, {"MODE_STOPLEVEL", BaseType::Int, 14},
    {"MODE_LOTSIZE", BaseType::Int, 15}, {"MODE_TICKVALUE", BaseType::Int, 16}, {"MODE_TICKSIZE", BaseType::Int, 17},
    {"MODE_SWAPLONG", BaseType::Int, 18}, {"MODE_SWAPSHORT", BaseType::Int, 19}, {"MODE_STARTING", BaseType::Int, 20},
    {"MODE_EXPIRATION", BaseType::Int, 21}, {"MODE_TRADEALLOWED", BaseType::Int, 22}, {"MODE_MINLOT", BaseType::Int, 23},
    {"MODE_LOTSTEP", BaseType::Int, 24}, {"MODE_MAXLOT", BaseType::Int, 25}, {"MODE_SWAPTYPE", BaseType::Int, 26},
    {"MODE_PROFITCALCMODE", BaseType::Int, 27}, {"MODE_MARGINCALCMODE", BaseType::Int, 28},
    {"MODE_MARGININIT", BaseType::Int, 29}, {"MODE_MARGINMAINTENANCE", BaseType::Int, 30},
    {"MODE_MARGINHEDGED", BaseType::Int, 31}, {"MODE_MARGINREQUIRED", BaseType::Int, 32},
    {"MODE_FREEZELEVEL", BaseType::Int, 33}, {"MODE_CLOSEBY_ALLOWED", BaseType::Int, 34},
    // Moving average methods and applied prices
    {"MODE_SMA", BaseType::Int, 0}, {"MODE_EMA", BaseType::Int, 1}, {"MODE_SMMA", BaseType::Int, 2},
    {"MODE_LWMA", BaseType::Int, 3}, {"PRICE_CLOSE", BaseType::Int, 0}, {"PRICE_OPEN", BaseType::Int, 1},
    {"PRICE_HIGH", BaseType::Int, 2}, {"PRICE_LOW", BaseType::Int, 3}, {"PRICE_MEDIAN", BaseType::Int, 4},
    {"PRICE_TYPICAL", BaseType::Int, 5}, {"PRICE_WEIGHTED", BaseType::Int, 6},
    // Indicator lines
    {"MODE_MAIN", BaseType::Int, 0}, {"MODE_SIGNAL", BaseType::Int, 1}, {"MODE_PLUSDI", BaseType::Int, 1},
    {"MODE_MINUSDI", BaseType::Int, 2}, {"MODE_UPPER", BaseType::Int, 1}, {"MODE_LOWER", BaseType::Int, 2},
    {"MODE_GATORJAW", BaseType::Int, 1}, {"MODE_GATORTEETH", BaseType::Int, 2}, {"MODE_GATORLIPS", BaseType::Int, 3},
    {"MODE_TENKANSEN", BaseType::Int, 1}, {"MODE_KIJUNSEN", BaseType::Int, 2}, {"MODE_SENKOUSPANA", BaseType::Int, 3},
    {"MODE_SENKOUSPANB", BaseType::Int, 4}, {"MODE_CHIKOUSPAN", BaseType::Int, 5},
    {"MODE_ASCEND", BaseType::Int, 1}, {"MODE_DESCEND", BaseType::Int, 2},
    // Timeframes
    {"PERIOD_CURRENT", BaseType::Int, 0}, {"PERIOD_M1", BaseType::Int, 1}, {"PERIOD_M5", BaseType::Int, 5},
    {"PERIOD_M15", BaseType::Int, 15}, {"PERIOD_M30", BaseType::Int, 30}, {"PERIOD_H1", BaseType::Int, 60},
    {"PERIOD_H4", BaseType::Int, 240}, {"PERIOD_D1", BaseType::Int, 1440}, {"PERIOD_W1", BaseType::Int, 10080},
    {"PERIOD_MN1", BaseType::Int, 43200},
    // Time formats
    {"TIME_DATE", BaseType::Int, 1}, {"TIME_MINUTES", BaseType::Int, 2}, {"TIME_SECONDS", BaseType::Int, 4},
    // Event handlers
    {"INIT_SUCCEEDED", BaseType::Int, 0}, {"INIT_FAILED", BaseType::Int, 1}, {"INIT_PARAMETERS_INCORRECT", BaseType::Int, 2},
    {"REASON_PROGRAM", BaseType::Int, 0}, {"REASON_REMOVE", BaseType::Int, 1}, {"REASON_RECOMPILE", BaseType::Int, 2},
    {"REASON_CHARTCHANGE", BaseType::Int, 3}, {"REASON_CHARTCLOSE", BaseType::Int, 4},
    {"REASON_PARAMETERS", BaseType::Int, 5}, {"REASON_ACCOUNT", BaseType::Int, 6}, {"REASON_TEMPLATE", BaseType::Int, 7},
    {"REASON_INITFAILED", BaseType::Int, 8}, {"REASON_CLOSE", BaseType::Int, 9},
    // Objects
    {"OBJ_VLINE", BaseType::Int, 0}, {"OBJ_HLINE", BaseType::Int, 1}, {"OBJ_TREND", BaseType::Int, 2},
    {"OBJ_TRENDBYANGLE", BaseType::Int, 3}, {"OBJ_REGRESSION", BaseType::Int, 4}, {"OBJ_CHANNEL", BaseType::Int, 5},
    {"OBJ_STDDEVCHANNEL", BaseType::Int, 6}, {"OBJ_GANNLINE", BaseType::Int, 7}, {"OBJ_GANNFAN", BaseType::Int, 8},
    {"OBJ_GANNGRID", BaseType::Int, 9}, {"OBJ_FIBO", BaseType::Int, 10}, {"OBJ_FIBOTIMES", BaseType::Int, 11},
    {"OBJ_FIBOFAN", BaseType::Int, 12}, {"OBJ_FIBOARC", BaseType::Int, 13}, {"OBJ_EXPANSION", BaseType::Int, 14},
    {"OBJ_FIBOCHANNEL", BaseType::Int, 15}, {"OBJ_RECTANGLE", BaseType::Int, 16}, {"OBJ_TRIANGLE", BaseType::Int, 17},
    {"OBJ_ELLIPSE", BaseType::Int, 18}, {"OBJ_PITCHFORK", BaseType::Int, 19}, {"OBJ_CYCLES", BaseType::Int, 20},
    {"OBJ_TEXT", BaseType::Int, 21}, {"OBJ_ARROW", BaseType::Int, 22}, {"OBJ_LABEL", BaseType::Int, 23},
    {"OBJPROP_TIME1", BaseType::Int, 0}, {"OBJPROP_PRICE1", BaseType::Int, 1}, {"OBJPROP_TIME2", BaseType::Int, 2},
    {"OBJPROP_PRICE2", BaseType::Int, 3}, {"OBJPROP_TIME3", BaseType::Int, 4}, {"OBJPROP_PRICE3", BaseType::Int, 5},
    {"OBJPROP_COLOR", BaseType::Int, 6}, {"OBJPROP_STYLE", BaseType::Int, 7}, {"OBJPROP_WIDTH", BaseType::Int, 8},
    {"OBJPROP_BACK", BaseType::Int, 9}, {"OBJPROP_RAY", BaseType::Int, 10}, {"OBJPROP_ELLIPSE", BaseType::Int, 11},
    {"OBJPROP_SCALE", BaseType::Int, 12}, {"OBJPROP_ANGLE", BaseType::Int, 13}, {"OBJPROP_ARROWCODE", BaseType::Int, 14},
    {"OBJPROP_TIMEFRAMES", BaseType::Int, 15}, {"OBJPROP_DEVIATION", BaseType::Int, 16},
    {"OBJPROP_FONTSIZE", BaseType::Int, 100}, {"OBJPROP_CORNER", BaseType::Int, 101},
    {"OBJPROP_XDISTANCE", BaseType::Int, 102}, {"OBJPROP_YDISTANCE", BaseType::Int, 103},
    {"OBJPROP_FIBOLEVELS", BaseType::Int, 200}, {"OBJPROP_LEVELCOLOR", BaseType::Int, 201},
    {"OBJPROP_LEVELSTYLE", BaseType::Int, 202}, {"OBJPROP_LEVELWIDTH", BaseType::Int, 203},
    {"STYLE_SOLID", BaseType::Int, 0}, {"STYLE_DASH", BaseType::Int, 1}, {"STYLE_DOT", BaseType::Int, 2},
    {"STYLE_DASHDOT", BaseType::Int, 3}, {"STYLE_DASHDOTDOT", BaseType::Int, 4},
    // Message boxes
    {"MB_OK", BaseType::Int, 0}, {"MB_OKCANCEL", BaseType::Int, 1}, {"MB_ABORTRETRYIGNORE", BaseType::Int, 2},
    {"MB_YESNOCANCEL", BaseType::Int, 3}, {"MB_YESNO", BaseType::Int, 4}, {"MB_RETRYCANCEL", BaseType::Int, 5},
    {"MB_ICONSTOP", BaseType::Int, 0x10}, {"MB_ICONERROR", BaseType::Int, 0x10}, {"MB_ICONHAND", BaseType::Int, 0x10},
    {"MB_ICONQUESTION", BaseType::Int, 0x20}, {"MB_ICONEXCLAMATION", BaseType::Int, 0x30},
    {"MB_ICONWARNING", BaseType::Int, 0x30}, {"MB_ICONINFORMATION", BaseType::Int, 0x40},
    {"MB_ICONASTERISK", BaseType::Int, 0x40}, {"IDOK", BaseType::Int, 1}, {"IDCANCEL", BaseType::Int, 2},
    {"IDABORT", BaseType::Int, 3}, {"IDRETRY", BaseType::Int, 4}, {"IDIGNORE", BaseType::Int, 5},
    {"IDYES", BaseType::Int, 6}, {"IDNO", BaseType::Int, 7},
    // Files
    {"FILE_READ", BaseType::Int, 1}, {"FILE_WRITE", BaseType::Int, 2}, {"FILE_BIN", BaseType::Int, 4},
    {"FILE_CSV", BaseType::Int, 8}, {"FILE_TXT", BaseType::Int, 16}, {"FILE_ANSI", BaseType::Int, 32},
    {"FILE_UNICODE", BaseType::Int, 64}, {"FILE_SHARE_READ", BaseType::Int, 128},
    {"FILE_SHARE_WRITE", BaseType::Int, 256}, {"FILE_REWRITE", BaseType::Int, 512}, {"FILE_COMMON", BaseType::Int, 4096},
    {"SEEK_SET", BaseType::Int, 0}, {"SEEK_CUR", BaseType::Int, 1}, {"SEEK_END", BaseType::Int, 2},
    {"CP_ACP", BaseType::Int, 0}, {"CP_OEMCP", BaseType::Int, 1}, {"CP_UTF8", BaseType::Int, 65001},
    // Errors of trade servers and of the program
    {"ERR_NO_ERROR", BaseType::Int, 0}, {"ERR_NO_RESULT", BaseType::Int, 1}, {"ERR_COMMON_ERROR", BaseType::Int, 2},
    {"ERR_INVALID_TRADE_PARAMETERS", BaseType::Int, 3}, {"ERR_SERVER_BUSY", BaseType::Int, 4},
    {"ERR_OLD_VERSION", BaseType::Int, 5}, {"ERR_NO_CONNECTION", BaseType::Int, 6},
    {"ERR_NOT_ENOUGH_RIGHTS", BaseType::Int, 7}, {"ERR_TOO_FREQUENT_REQUESTS", BaseType::Int, 8},
    {"ERR_MALFUNCTIONAL_TRADE", BaseType::Int, 9}, {"ERR_ACCOUNT_DISABLED", BaseType::Int, 64},
    {"ERR_INVALID_ACCOUNT", BaseType::Int, 65}, {"ERR_TRADE_TIMEOUT", BaseType::Int, 128},
    {"ERR_INVALID_PRICE", BaseType::Int, 129}, {"ERR_INVALID_STOPS", BaseType::Int, 130},
    {"ERR_INVALID_TRADE_VOLUME", BaseType::Int, 131}, {"ERR_MARKET_CLOSED", BaseType::Int, 132},
    {"ERR_TRADE_DISABLED", BaseType::Int, 133}, {"ERR_NOT_ENOUGH_MONEY", BaseType::Int, 134},
    {"ERR_PRICE_CHANGED", BaseType::Int, 135}, {"ERR_OFF_QUOTES", BaseType::Int, 136},
    {"ERR_BROKER_BUSY", BaseType::Int, 137}, {"ERR_REQUOTE", BaseType::Int, 138},
    {"ERR_ORDER_LOCKED", BaseType::Int, 139}, {"ERR_LONG_POSITIONS_ONLY_ALLOWED", BaseType::Int, 140},
    {"ERR_TOO_MANY_REQUESTS", BaseType::Int, 141}, {"ERR_TRADE_MODIFY_DENIED", BaseType::Int, 145},
    {"ERR_TRADE_CONTEXT_BUSY", BaseType::Int, 146}, {"ERR_TRADE_EXPIRATION_DENIED", BaseType::Int, 147},
    {"ERR_TRADE_TOO_MANY_ORDERS", BaseType::Int, 148}, {"ERR_TRADE_HEDGE_PROHIBITED", BaseType::Int, 149},
    {"ERR_TRADE_PROHIBITED_BY_FIFO", BaseType::Int, 150}, {"ERR_NO_MQLERROR", BaseType::Int, 4000},
    {"ERR_WRONG_FUNCTION_POINTER", BaseType::Int, 4001}, {"ERR_ARRAY_INDEX_OUT_OF_RANGE", BaseType::Int, 4002},
    {"ERR_NO_MEMORY_FOR_CALL_STACK", BaseType::Int, 4003}, {"ERR_RECURSIVE_STACK_OVERFLOW", BaseType::Int, 4004},
    {"ERR_NOT_ENOUGH_STACK_FOR_PARAM", BaseType::Int, 4005}, {"ERR_NO_MEMORY_FOR_PARAM_STRING", BaseType::Int, 4006},
    {"ERR_NO_MEMORY_FOR_TEMP_STRING", BaseType::Int, 4007}, {"ERR_NOT_INITIALIZED_STRING", BaseType::Int, 4008},
    {"ERR_NOT_INITIALIZED_ARRAYSTRING", BaseType::Int, 4009}, {"ERR_NO_MEMORY_FOR_ARRAYSTRING", BaseType::Int, 4010},
    {"ERR_TOO_LONG_STRING", BaseType::Int, 4011}, {"ERR_REMAINDER_FROM_ZERO_DIVIDE", BaseType::Int, 4012},
    {"ERR_ZERO_DIVIDE", BaseType::Int, 4013}, {"ERR_UNKNOWN_COMMAND", BaseType::Int, 4014},
    {"ERR_WRONG_JUMP", BaseType::Int, 4015}, {"ERR_NOT_INITIALIZED_ARRAY", BaseType::Int, 4016},
    {"ERR_DLL_CALLS_NOT_ALLOWED", BaseType::Int, 4017}, {"ERR_CANNOT_LOAD_LIBRARY", BaseType::Int, 4018},
    {"ERR_CANNOT_CALL_FUNCTION", BaseType::Int, 4019}, {"ERR_EXTERNAL_CALLS_NOT_ALLOWED", BaseType::Int, 4020},
    {"ERR_NO_MEMORY_FOR_RETURNED_STR", BaseType::Int, 4021}, {"ERR_SYSTEM_BUSY", BaseType::Int, 4022},
    {"ERR_INVALID_FUNCTION_PARAMSCNT", BaseType::Int, 4050}, {"ERR_INVALID_FUNCTION_PARAMVALUE", BaseType::Int, 4051},
    {"ERR_STRING_FUNCTION_INTERNAL", BaseType::Int, 4052}, {"ERR_SOME_ARRAY_ERROR", BaseType::Int, 4053},
    {"ERR_INCORRECT_SERIESARRAY_USING", BaseType::Int, 4054}, {"ERR_CUSTOM_INDICATOR_ERROR", BaseType::Int, 4055},
    {"ERR_INCOMPATIBLE_ARRAYS", BaseType::Int, 4056}, {"ERR_GLOBAL_VARIABLES_PROCESSING", BaseType::Int, 4057},
    {"ERR_GLOBAL_VARIABLE_NOT_FOUND", BaseType::Int, 4058}, {"ERR_FUNC_NOT_ALLOWED_IN_TESTING", BaseType::Int, 4059},
    {"ERR_FUNCTION_NOT_CONFIRMED", BaseType::Int, 4060}, {"ERR_SEND_MAIL_ERROR", BaseType::Int, 4061},
    {"ERR_STRING_PARAMETER_EXPECTED", BaseType::Int, 4062}, {"ERR_INTEGER_PARAMETER_EXPECTED", BaseType::Int, 4063},
    {"ERR_DOUBLE_PARAMETER_EXPECTED", BaseType::Int, 4064}, {"ERR_ARRAY_AS_PARAMETER_EXPECTED", BaseType::Int, 4065},
    {"ERR_HISTORY_WILL_UPDATED", BaseType::Int, 4066}, {"ERR_TRADE_ERROR", BaseType::Int, 4067},
    {"ERR_END_OF_FILE", BaseType::Int, 4099}, {"ERR_SOME_FILE_ERROR", BaseType::Int, 4100},
    {"ERR_WRONG_FILE_NAME", BaseType::Int, 4101}, {"ERR_TOO_MANY_OPENED_FILES", BaseType::Int, 4102},
    {"ERR_CANNOT_OPEN_FILE", BaseType::Int, 4103}, {"ERR_INCOMPATIBLE_FILEACCESS", BaseType::Int, 4104},
    {"ERR_NO_ORDER_SELECTED", BaseType::Int, 4105}, {"ERR_UNKNOWN_SYMBOL", BaseType::Int, 4106},
    {"ERR_INVALID_PRICE_PARAM", BaseType::Int, 4107}, {"ERR_INVALID_TICKET", BaseType::Int, 4108},
    {"ERR_TRADE_NOT_ALLOWED", BaseType::Int, 4109}, {"ERR_LONGS_NOT_ALLOWED", BaseType::Int, 4110},
    {"ERR_SHORTS_NOT_ALLOWED", BaseType::Int, 4111}, {"ERR_OBJECT_ALREADY_EXISTS", BaseType::Int, 4200},
    {"ERR_UNKNOWN_OBJECT_PROPERTY", BaseType::Int, 4201}, {"ERR_OBJECT_DOES_NOT_EXIST", BaseType::Int, 4202},
    {"ERR_UNKNOWN_OBJECT_TYPE", BaseType::Int, 4203}, {"ERR_NO_OBJECT_NAME", BaseType::Int, 4204},
    {"ERR_OBJECT_COORDINATES_ERROR", BaseType::Int, 4205}, {"ERR_NO_SPECIFIED_SUBWINDOW", BaseType::Int, 4206},
    {"ERR_SOME_OBJECT_ERROR", BaseType::Int, 4207},
};

struct DoubleConstantRow {
  std::string_view name;
  double value;
};
constexpr DoubleConstantRow kDoubleConstants[] = {
    {"DBL_MAX", 1.7976931348623158e+308}, {"DBL_MIN", 2.2250738585072014e-308}, {"DBL_EPSILON", 2.2204460492503131e-016},
    {"FLT_MAX", 3.402823466e+38},         {"FLT_MIN", 1.175494351e-38},         {"FLT_EPSILON", 1.192092896e-07},
    {"M_PI", 3.14159265358979323846},     {"M_E", 2.71828182845904523536},      {"M_SQRT2", 1.41421356237309504880},
};

// Colours by name, as 0xRRGGBB; the terminal stores them as 0x00BBGGRR. Each is known by its
// old name (Red) and by its clr name (clrRed).
struct ColourRow {
  std::string_view name;
  std::uint32_t rgb;
};
constexpr ColourRow kColours[] = {
    {"Black", 0x000000},          {"DarkGreen", 0x006400},     {"DarkSlateGray", 0x2F4F4F}, {"Olive", 0x808000},
    {"Green", 0x008000},          {"Teal", 0x008080},          {"Navy", 0x000080},          {"Purple", 0x800080},
    {"Maroon", 0x800000},         {"Indigo", 0x4B0082},        {"MidnightBlue", 0x191970},  {"DarkBlue", 0x00008B},
    {"DarkOliveGreen", 0x556B2F}, {"SaddleBrown", 0x8B4513},   {"ForestGreen", 0x228B22},   {"OliveDrab", 0x6B8E23},
    {"SeaGreen", 0x2E8B57},       {"DarkGoldenrod", 0xB8860B}, {"DarkSlateBlue", 0x483D8B}, {"Sienna", 0xA0522D},
    {"MediumBlue", 0x0000CD},     {"Brown", 0xA52A2A},         {"DarkTurquoise", 0x00CED1}, {"DimGray", 0x696969},
    {"LightSeaGreen", 0x20B2AA},  {"DarkViolet", 0x9400D3},    {"FireBrick", 0xB22222},     {"MediumVioletRed", 0xC71585},
    {"MediumSeaGreen", 0x3CB371}, {"Chocolate", 0xD2691E},     {"Crimson", 0xDC143C},       {"SteelBlue", 0x4682B4},
    {"Goldenrod", 0xDAA520},      {"MediumSpringGreen", 0x00FA9A}, {"LawnGreen", 0x7CFC00}, {"CadetBlue", 0x5F9EA0},
    {"DarkOrchid", 0x9932CC},     {"YellowGreen", 0x9ACD32},   {"LimeGreen", 0x32CD32},     {"OrangeRed", 0xFF4500},
    {"DarkOrange", 0xFF8C00},     {"Orange", 0xFFA500},        {"Gold", 0xFFD700},          {"Yellow", 0xFFFF00},
    {"Chartreuse", 0x7FFF00},     {"Lime", 0x00FF00},          {"SpringGreen", 0x00FF7F},   {"Aqua", 0x00FFFF},
    {"DeepSkyBlue", 0x00BFFF},    {"Blue", 0x0000FF},          {"Magenta", 0xFF00FF},       {"Red", 0xFF0000},
    {"Gray", 0x808080},           {"SlateGray", 0x708090},     {"Peru", 0xCD853F},          {"BlueViolet", 0x8A2BE2},
    {"LightSlateGray", 0x778899}, {"DeepPink", 0xFF1493},      {"MediumTurquoise", 0x48D1CC}, {"DodgerBlue", 0x1E90FF},
    {"Turquoise", 0x40E0D0},      {"RoyalBlue", 0x4169E1},     {"SlateBlue", 0x6A5ACD},     {"DarkKhaki", 0xBDB76B},
    {"IndianRed", 0xCD5C5C},      {"MediumOrchid", 0xBA55D3},  {"GreenYellow", 0xADFF2F},   {"MediumAquamarine", 0x66CDAA},
    {"DarkSeaGreen", 0x8FBC8F},   {"Tomato", 0xFF6347},        {"RosyBrown", 0xBC8F8F},     {"Orchid", 0xDA70D6},
    {"MediumPurple", 0x9370DB},   {"PaleVioletRed", 0xDB7093}, {"Coral", 0xFF7F50},         {"CornflowerBlue", 0x6495ED},
    {"DarkGray", 0xA9A9A9},       {"SandyBrown", 0xF4A460},    {"MediumSlateBlue", 0x7B68EE}, {"Tan", 0xD2B48C},
    {"DarkSalmon", 0xE9967A},     {"BurlyWood", 0xDEB887},     {"HotPink", 0xFF69B4},       {"Salmon", 0xFA8072},
    {"Violet", 0xEE82EE},         {"LightCoral", 0xF08080},    {"SkyBlue", 0x87CEEB},       {"LightSalmon", 0xFFA07A},
    {"Plum", 0xDDA0DD},           {"Khaki", 0xF0E68C},         {"LightGreen", 0x90EE90},    {"Aquamarine", 0x7FFFD4},
    {"Silver", 0xC0C0C0},         {"LightSkyBlue", 0x87CEFA},  {"LightSteelBlue", 0xB0C4DE}, {"LightBlue", 0xADD8E6},
    {"PaleGreen", 0x98FB98},      {"Thistle", 0xD8BFD8},       {"PowderBlue", 0xB0E0E6},    {"PaleGoldenrod", 0xEEE8AA},
    {"PaleTurquoise", 0xAFEEEE},  {"LightGray", 0xD3D3D3},     {"Wheat", 0xF5DEB3},         {"NavajoWhite", 0xFFDEAD},
    {"Moccasin", 0xFFE4B5},       {"LightPink", 0xFFB6C1},     {"Gainsboro", 0xDCDCDC},     {"PeachPuff", 0xFFDAB9},
    {"Pink", 0xFFC0CB},           {"Bisque", 0xFFE4C4},        {"LightGoldenrod", 0xFAFAD2}, {"BlanchedAlmond", 0xFFEBCD},
    {"LemonChiffon", 0xFFFACD},   {"Beige", 0xF5F5DC},         {"AntiqueWhite", 0xFAEBD7},  {"PapayaWhip", 0xFFEFD5},
    {"Cornsilk", 0xFFF8DC},       {"LightYellow", 0xFFFFE0},   {"LightCyan", 0xE0FFFF},     {"Linen", 0xFAF0E6},
    {"Lavender", 0xE6E6FA},       {"MistyRose", 0xFFE4E1},     {"OldLace", 0xFDF5E6},       {"WhiteSmoke", 0xF5F5F5},
    {"Seashell", 0xFFF5EE},       {"Ivory", 0xFFFFF0},         {"Honeydew", 0xF0FFF0},      {"AliceBlue", 0xF0F8FF},
    {"LavenderBlush", 0xFFF0F5},  {"MintCream", 0xF5FFFA},     {"Snow", 0xFFFAFA},          {"White", 0xFFFFFF},
};

Type scalar(BaseType b) { return {b, 0}; }

}  // namespace

std::vector<BuiltinValue> BuiltinTable::predefinedValues() {
  std::vector<BuiltinValue> values;
  for (const VariableRow& v : kVariables) values.push_back({std::string(v.name), {v.type, v.dims}, false, 0, 0, {}, {}});
  for (const ConstantRow& c : kConstants) values.push_back({std::string(c.name), scalar(c.type), true, c.value, static_cast<double>(c.value), {}, {}});
  // What the compiler writes in for these; their values depend on where they stand, which an
  // interpreter tells from the node's position.
  for (std::string_view name : {"__FUNCTION__", "__FILE__", "__PATH__"}) values.push_back({std::string(name), kString, true, 0, 0, {}, {}});
  for (std::string_view name : {"__LINE__", "__MQLBUILD__", "__MQL4BUILD__"}) values.push_back({std::string(name), kInt, true, 0, 0, {}, {}});
  for (std::string_view name : {"__DATE__", "__DATETIME__"}) values.push_back({std::string(name), kDatetime, true, 0, 0, {}, {}});
  for (const DoubleConstantRow& c : kDoubleConstants) values.push_back({std::string(c.name), kDouble, true, 0, c.value, {}, {}});
  for (const ColourRow& c : kColours) {
    const long long bgr = static_cast<long long>(((c.rgb & 0xFF) << 16) | (c.rgb & 0xFF00) | ((c.rgb >> 16) & 0xFF));
    values.push_back({std::string(c.name), kColor, true, bgr, static_cast<double>(bgr), {}, {}});
    values.push_back({"clr" + std::string(c.name), kColor, true, bgr, static_cast<double>(bgr), {}, {}});
  }
  return values;
}

}  // namespace zorvik::mql4
