// MetaTrader 4 history files (.hst): a 148-byte header, then fixed-size little-endian records.
//   header: version int32, copyright char[64], symbol char[12], period int32 (minutes),
//           digits int32, timesign int32, last_sync int32, unused int32[13]
//   v400 record (44 bytes): time int32, open, low, high, close, volume (double)
//   v401 record (60 bytes): time int64, open, high, low, close (double), tick_volume int64,
//                           spread int32, real_volume int64
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "market/history_checks.hpp"
#include "market/history_files.hpp"
#include "market/hst_layout.hpp"
#include "text/cp1252.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

static_assert(std::endian::native == std::endian::little, "history records are decoded in place as little endian");

namespace zorvik {

using namespace market_detail;

namespace {

template <typename T>
T load(const char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <typename T>
void store(std::string& out, T v) {
  char b[sizeof v];
  std::memcpy(b, &v, sizeof v);
  out.append(b, sizeof v);
}

// Appends whole records to the series, checking each as it goes. Keeps its place so that a file
// can be fed in chunks.
class HstDecoder {
 public:
  HstDecoder(BarSeries& series, int version) : s_(series), v401_(version == 401) {}

  // `count` whole records at `p`; false (with the reason and 1-based record number) on a fault.
  bool decode(const char* p, std::size_t count) {
    return v401_ ? run<true>(p, count) : run<false>(p, count);
  }
  std::size_t decoded() const { return n_; }
  const std::string& fault() const { return fault_; }

 private:
  template <bool V401>
  bool run(const char* p, std::size_t count) {
    constexpr std::size_t size = V401 ? kHst401RecordSize : kHst400RecordSize;
    for (std::size_t i = 0; i < count; ++i, p += size) {
      std::int64_t t;
      double o, h, l, c, vol;
      if constexpr (V401) {
        t = load<std::int64_t>(p);
        o = load<double>(p + 8);
        h = load<double>(p + 16);
        l = load<double>(p + 24);
        c = load<double>(p + 32);
        const auto tick = load<std::int64_t>(p + 40);
        // A negative count has no meaning; keep it negative so the check below names it.
        vol = static_cast<double>(tick);
      } else {
        t = load<std::int32_t>(p);
        o = load<double>(p + 4);
        l = load<double>(p + 12);
        h = load<double>(p + 20);
        c = load<double>(p + 28);
        vol = load<double>(p + 36);
      }
      if (!barSound(t, o, h, l, c, vol, n_ > 0, prev_)) [[unlikely]] {
        fault_ = barFault(t, o, h, l, c, vol, n_ > 0, prev_);
        return false;
      }
      s_.time.push_back(t);
      s_.open.push_back(o);
      s_.high.push_back(h);
      s_.low.push_back(l);
      s_.close.push_back(c);
      s_.volume.push_back(vol);
      prev_ = t;
      ++n_;
    }
    return true;
  }

  BarSeries& s_;
  bool v401_;
  std::size_t n_ = 0;
  std::int64_t prev_ = 0;
  std::string fault_;
};

HistoryRead refused(const std::string& name, std::string place, std::string reason) {
  HistoryRead r;
  r.error = HistoryError{name, std::move(place), std::move(reason)};
  return r;
}

std::string recordPlace(std::size_t number) { return "record " + std::to_string(number); }

std::string tooManyRecords(std::size_t records) {
  return std::to_string(records) + " records, more than the " + std::to_string(kMaxHistoryBars) +
         " bars a history may hold";
}

std::string outOfMemory(std::size_t records) {
  return "not enough memory for " + std::to_string(records) + " bars";
}

std::string fileLabel(const std::filesystem::path& path) { return path.string(); }

// Fills series.symbol/timeframe/digits and format from the header; a reason when it is unusable.
std::string parseHeader(const char* h, BarSeries& s, HistoryFormat& format) {
  const HstHeader header = decodeHstHeader(h);
  if (header.version != 400 && header.version != 401)
    return "version " + std::to_string(header.version) + " is not 400 or 401";
  format = header.version == 401 ? HistoryFormat::Hst401 : HistoryFormat::Hst400;
  if (header.symbol.empty()) return "no symbol";
  // Printed as it is, such a symbol could retitle or clear the trader's terminal.
  if (hasControlCharacter(header.symbol)) return "symbol \"" + withControlsEscaped(header.symbol) + "\" holds a control character";
  if (header.period <= 0) return "period " + std::to_string(header.period) + " not positive";
  if (header.digits < 0 || header.digits > kMaxDigits) return "digits " + std::to_string(header.digits) + " out of range";
  s.symbol = header.symbol;
  s.timeframeMinutes = header.period;
  s.digits = header.digits;
  return {};
}

}  // namespace

HstHeader decodeHstHeader(const char* h) {
  HstHeader out;
  out.version = load<std::int32_t>(h);
  const char* sym = h + 68;
  const std::size_t len = static_cast<std::size_t>(std::find(sym, sym + 12, '\0') - sym);
  out.symbol = cp1252ToUtf8(std::string_view(sym, len));
  out.period = load<std::int32_t>(h + 80);
  out.digits = load<std::int32_t>(h + 84);
  return out;
}

std::size_t hstRecordSize(int version) { return version == 401 ? kHst401RecordSize : kHst400RecordSize; }

bool decodeHstRecord(const char* p, int version, Bar& bar) {
  BarSeries one;
  HstDecoder d(one, version);
  if (!d.decode(p, 1)) return false;
  bar = one.bar(0);
  return true;
}

HistoryRead readHst(std::string_view bytes, const std::string& name) {
  if (bytes.size() < kHstHeaderSize)
    return refused(name, "header", "truncated (" + std::to_string(bytes.size()) + " of 148 bytes)");
  HistoryRead r;
  if (std::string why = parseHeader(bytes.data(), r.series, r.format); !why.empty()) return refused(name, "header", why);
  const int version = r.format == HistoryFormat::Hst401 ? 401 : 400;
  const std::size_t size = hstRecordSize(version);
  const std::size_t body = bytes.size() - kHstHeaderSize;
  const std::size_t whole = body / size;
  if (body == 0) return refused(name, "", "no bars");
  if (whole > kMaxHistoryBars) return refused(name, "", tooManyRecords(whole));
  HstDecoder d(r.series, version);
  try {
    r.series.reserve(whole);
    if (!d.decode(bytes.data() + kHstHeaderSize, whole)) return refused(name, recordPlace(d.decoded() + 1), d.fault());
  } catch (const std::bad_alloc&) {
    return refused(name, "", outOfMemory(whole));
  }
  if (body % size != 0)
    return refused(name, recordPlace(whole + 1),
                   "truncated (" + std::to_string(body % size) + " of " + std::to_string(size) + " bytes)");
  return r;
}

HistoryRead readHstFile(const std::filesystem::path& path) {
  const std::string name = fileLabel(path);
  // O_NONBLOCK so that a FIFO given by mistake cannot hang the open; only regular files are read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return refused(name, "", std::string("cannot open: ") + std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return refused(name, "", "not a regular file");

  // Reads up to n bytes, retrying short reads; the count read, or -1 on an error.
  auto readFully = [fd](char* p, std::size_t n) -> std::ptrdiff_t {
    std::size_t got = 0;
    while (got < n) {
      const ssize_t k = ::read(fd, p + got, n - got);
      if (k < 0 && errno == EINTR) continue;
      if (k < 0) return -1;
      if (k == 0) break;
      got += static_cast<std::size_t>(k);
    }
    return static_cast<std::ptrdiff_t>(got);
  };

  char header[kHstHeaderSize];
  const auto got = readFully(header, sizeof header);
  if (got < 0) return refused(name, "", std::string("cannot read: ") + std::strerror(errno));
  if (static_cast<std::size_t>(got) < kHstHeaderSize)
    return refused(name, "header", "truncated (" + std::to_string(got) + " of 148 bytes)");
  HistoryRead r;
  if (std::string why = parseHeader(header, r.series, r.format); !why.empty()) return refused(name, "header", why);
  const int version = r.format == HistoryFormat::Hst401 ? 401 : 400;
  const std::size_t size = hstRecordSize(version);
  // The size is checked before anything is reserved from it: a sparse file can claim a
  // terabyte without holding a byte. It can also grow while being read, so the decoder stops at
  // the limit too.
  const std::size_t announced =
      st.st_size > static_cast<off_t>(kHstHeaderSize) ? (static_cast<std::size_t>(st.st_size) - kHstHeaderSize) / size : 0;
  if (announced > kMaxHistoryBars) return refused(name, "", tooManyRecords(announced));
  try {
    r.series.reserve(announced);
  } catch (const std::bad_alloc&) {
    return refused(name, "", outOfMemory(announced));
  }

  // Chunks of whole records small enough to stay in the core's L2 cache between the read and the
  // decode (256 KB; 1 MB measured slower).
  const std::size_t perChunk = (std::size_t{1} << 18) / size;
  std::vector<char> buf(perChunk * size);
  std::size_t carried = 0;  // bytes of a partial record kept at the front of buf
  HstDecoder d(r.series, version);
  for (;;) {
    const auto n = readFully(buf.data() + carried, buf.size() - carried);
    if (n < 0) return refused(name, "", std::string("cannot read: ") + std::strerror(errno));
    const std::size_t have = carried + static_cast<std::size_t>(n);
    const std::size_t whole = have / size;
    if (d.decoded() + whole > kMaxHistoryBars) return refused(name, "", tooManyRecords(d.decoded() + whole));
    try {
      if (!d.decode(buf.data(), whole)) return refused(name, recordPlace(d.decoded() + 1), d.fault());
    } catch (const std::bad_alloc&) {
      return refused(name, "", outOfMemory(d.decoded() + whole));
    }
    carried = have - whole * size;
    if (n == 0 || have < buf.size()) break;
    std::memmove(buf.data(), buf.data() + whole * size, carried);
  }
  if (carried != 0)
    return refused(name, recordPlace(d.decoded() + 1),
                   "truncated (" + std::to_string(carried) + " of " + std::to_string(size) + " bytes)");
  if (d.decoded() == 0) return refused(name, "", "no bars");
  return r;
}

std::optional<std::string> hstBytes(const BarSeries& s, int version, std::string* error) {
  auto fail = [error](std::string why) -> std::optional<std::string> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  if (version != 400 && version != 401) return fail("version " + std::to_string(version) + " is not 400 or 401");
  const std::string symbol = utf8ToCp1252(s.symbol);
  // The terminal's symbols have at most 11 characters and a closing NUL; a full field of 12 is
  // still read back whole, so it is written as it is.
  if (symbol.empty() || symbol.size() > 12 || symbol.find('\0') != std::string::npos)
    return fail("symbol \"" + s.symbol + "\" must have 1 to 12 characters");
  if (s.timeframeMinutes <= 0) return fail("timeframe " + std::to_string(s.timeframeMinutes) + " not positive");
  if (s.digits < 0 || s.digits > kMaxDigits) return fail("digits " + std::to_string(s.digits) + " out of range");
  if (s.empty()) return fail("no bars");
  std::size_t bad = 0;
  if (std::string why = seriesFault(s, &bad); !why.empty()) return fail("bar " + std::to_string(bad) + ": " + why);

  std::string out;
  out.reserve(kHstHeaderSize + s.size() * hstRecordSize(version));
  store<std::int32_t>(out, version);
  char copyright[64] = "(C)opyright 2003, MetaQuotes Software Corp.";
  out.append(copyright, sizeof copyright);
  char sym[12] = {};
  std::memcpy(sym, symbol.data(), symbol.size());
  out.append(sym, sizeof sym);
  store<std::int32_t>(out, s.timeframeMinutes);
  store<std::int32_t>(out, s.digits);
  // timesign and last_sync stay 0 so that writing the same bars twice gives the same bytes.
  out.append(kHstHeaderSize - out.size(), '\0');

  for (std::size_t i = 0; i < s.size(); ++i) {
    const double vol = s.volume[i];
    if (version == 401) {
      if (vol != std::floor(vol)) return fail("bar " + std::to_string(i + 1) + ": volume " + numberText(vol) + " not a whole count");
      store<std::int64_t>(out, s.time[i]);
      store<double>(out, s.open[i]);
      store<double>(out, s.high[i]);
      store<double>(out, s.low[i]);
      store<double>(out, s.close[i]);
      store<std::int64_t>(out, static_cast<std::int64_t>(vol));
      store<std::int32_t>(out, 0);  // spread
      store<std::int64_t>(out, 0);  // real volume
    } else {
      if (s.time[i] > INT32_MAX) return fail("bar " + std::to_string(i + 1) + ": time after 2038 does not fit version 400");
      store<std::int32_t>(out, static_cast<std::int32_t>(s.time[i]));
      store<double>(out, s.open[i]);
      store<double>(out, s.low[i]);
      store<double>(out, s.high[i]);
      store<double>(out, s.close[i]);
      store<double>(out, vol);
    }
  }
  return out;
}

}  // namespace zorvik
