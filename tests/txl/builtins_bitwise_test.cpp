// Bit operations: AND, OR, XOR, SHL, SHR, INV and MASK.
#include <gtest/gtest.h>

#include "builtins_support.h"

namespace quillet::test {
namespace {

TEST(BuiltinsBitwise, TwoOperandFamily) {
  run_cases({
      {"AND", {iv(12), iv(10)}, "i:8"},
      {"AND", {iv(-1), iv(0x7F)}, "i:127"},
      {"OR", {iv(12), iv(10)}, "i:14"},
      {"XOR", {iv(12), iv(10)}, "i:6"},
      {"XOR", {iv(-1), iv(0)}, "i:-1"},
      {"AND", {sv("0xFF"), sv("017")}, "i:15"},
      {"AND", {fv(7.9), iv(6)}, "i:6"},
      {"OR", {sv("12abc"), iv(1)}, "i:1"},
      {"OR", {none(), iv(5)}, "i:5"},
      {"OR", {vec({iv(1), iv(2)}), iv(4)}, "i:6"},
      {"SHL", {iv(1), iv(33)}, "i:2"},
      {"SHL", {iv(1), iv(31)}, "i:-2147483648"},
      {"SHL", {iv(3), iv(31)}, "i:-2147483648"},
      {"SHL", {iv(1), iv(-1)}, "i:-2147483648"},
      {"SHL", {iv(5), iv(0)}, "i:5"},
      {"SHR", {iv(-8), iv(1)}, "i:-4"},
      {"SHR", {iv(-1), iv(31)}, "i:-1"},
      {"SHR", {iv(256), iv(36)}, "i:16"},
      {"SHR", {iv(0x40000000), iv(30)}, "i:1"},
      {"AND", {iv(1)}, "#BITW():ARGS#"},
      {"OR", {}, "#BITW():ARGS#"},
      {"XOR", {iv(1), iv(2), iv(3)}, "#BITW():ARGS#"},
      {"SHL", {iv(1)}, "#BITW():ARGS#"},
      {"SHR", {iv(1), iv(2), iv(3)}, "#BITW():ARGS#"},
  });
}

TEST(BuiltinsBitwise, InvAndMask) {
  run_cases({
      {"INV", {iv(0)}, "i:-1"},
      {"INV", {iv(-1)}, "i:0"},
      {"INV", {iv(5)}, "i:-6"},
      {"INV", {sv("x")}, "i:-1"},
      {"INV", {none()}, "i:-1"},
      {"INV", {}, "#INV():ARGS#"},
      {"INV", {iv(1), iv(2)}, "#INV():ARGS#"},
      {"MASK", {iv(240), iv(4), iv(4)}, "i:15"},
      {"MASK", {iv(-1), iv(0), iv(32)}, "i:0"},
      {"MASK", {iv(-1), iv(0), iv(31)}, "i:2147483647"},
      {"MASK", {iv(-1), iv(28), iv(8)}, "i:15"},
      {"MASK", {iv(-1), iv(4), iv(-28)}, "i:15"},
      {"MASK", {iv(0xABCD), iv(36), iv(4)}, "i:12"},
      {"MASK", {iv(0xABCD), iv(8), iv(0)}, "i:0"},
      {"MASK", {sv("0xF0"), fv(4.5), iv(2)}, "i:3"},
      {"MASK", {iv(1), iv(0), sv("x")}, "(silent)"},
      {"MASK", {sv("1x"), iv(0), iv(1)}, "(silent)"},
      {"MASK", {iv(1), none(), iv(1)}, "(silent)"},
      {"MASK", {iv(1), iv(0)}, "#MASK():ARGS#"},
      {"MASK", {iv(1), iv(0), iv(1), iv(1)}, "#MASK():ARGS#"},
  });
}

}  // namespace
}  // namespace quillet::test
