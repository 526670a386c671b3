#pragma once
// The comparisons an indicator's vote can make, by its four operands k1, l1, k2, l2 (the
// values of bar s and, for the cross and rising tests, bar s+1). A comparison with an
// undefined (NaN) operand is false, as it is in the terminal.
namespace zorvik {

enum class SignalTest {
  None,            // the indicator writes no vote for this side: it never adds its points
  KAboveL,         // k1>l1
  KBelowL,         // k1<l1
  CrossAbove,      // (k1>l1) && (k2<=l2)
  CrossBelow,      // (k1<l1) && (k2>=l2)
  AboveRising,     // (k1>l1) && (k2>l2)
  BelowRising,     // (k1<l1) && (k2>l2)
  MainUpOsmaDown,  // (k1>0) && (l1<0)
  MainDownOsmaUp,  // (k1<0) && (l1>0)
  KBelowL2,        // k1<l2
};

inline bool passes(SignalTest test, double k1, double l1, double k2, double l2) {
  switch (test) {
    case SignalTest::None: return false;
    case SignalTest::KAboveL: return k1 > l1;
    case SignalTest::KBelowL: return k1 < l1;
    case SignalTest::CrossAbove: return (k1 > l1) && (k2 <= l2);
    case SignalTest::CrossBelow: return (k1 < l1) && (k2 >= l2);
    case SignalTest::AboveRising: return (k1 > l1) && (k2 > l2);
    case SignalTest::BelowRising: return (k1 < l1) && (k2 > l2);
    case SignalTest::MainUpOsmaDown: return (k1 > 0) && (l1 < 0);
    case SignalTest::MainDownOsmaUp: return (k1 < 0) && (l1 > 0);
    case SignalTest::KBelowL2: return k1 < l2;
  }
  return false;
}

}  // namespace zorvik
