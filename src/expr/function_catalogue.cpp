#include "expr/function_catalogue.h"

#include <algorithm>
#include <stdexcept>

namespace qzarn {

namespace {

constexpr std::array<FunctionCatalogueEntry, kFunctionCatalogueSize> kEntries{{
    {u"sqr()", u"sqr(式)", u"平方"},
    {u"sqrt()", u"sqrt(式)", u"平方根"},
    {u"sin()", u"sin(式)", u"正弦［ラジアンで指定します］"},
    {u"cos()", u"cos(式)", u"余弦［ラジアンで指定します］"},
    {u"tan()", u"tan(式)", u"正接［ラジアンで指定します］"},
    {u"pow(,,)", u"pow(式,数1,数2)", u"べき乗［式^(数1/数2)］，数は変数でも可"},
    {u"exp()", u"exp(式)", u"eのべき乗"},
    {u"ln()", u"ln(式)", u"eを底とする自然対数"},
    {u"log()", u"log(式)", u"10を底とする常用対数"},
    {u"int()", u"int(式)", u"式の値を超えない最大の整数"},
    {u"round()", u"round(式,数)", u"｢数｣の小数位で四捨五入，数は変数でも可"},
    {u"abs()", u"abs(式)", u"絶対値"},
    {u"sign()", u"sign(式)", u"符号"},
    {u"pi", u"pi", u"円周率"},
    {u"random", u"random", u"０～１の乱数"},
    {u"fac()", u"fac(式)", u"階乗 ｎ!"},
    {u"per(,)", u"per(式n,数r)", u"順列 nＰr，数は変数でも可"},
    {u"con(,)", u"con(式n,数r)", u"組合せ nＣr，数は変数でも可"},
    {u"bin(,,)", u"bin(式p,数n,数r)", u"2項分布B(n,p)の確率Ｐ(X=r)，数は変数でも可"},
    {u"asin()", u"asin(式)", u"逆正弦"},
    {u"acos()", u"acos(式)", u"逆余弦"},
    {u"atan()", u"atan(式)", u"逆正接［計算結果は、-π/2 ～ π/2］"},
    {u"sinh()", u"sinh(式)", u"双曲線正弦"},
    {u"cosh()", u"cosh(式)", u"双曲線余弦"},
    {u"tanh()", u"tanh(式)", u"双曲線正接"},
    {u"asinh()", u"asinh(式)", u"逆双曲線正弦"},
    {u"acosh()", u"acosh(式)", u"逆双曲線余弦"},
    {u"atanh()", u"atanh(式)", u"逆双曲線正接"},
    {u"gamma()", u"gamma(式)", u"ガンマ関数Γ(x)"},
    {u"legend(,)", u"legend(式,数)", u"ルジャンドルの多項式"},
    {u"celi1(,)", u"celi1(式,数)", u"第1種 完全楕円積分"},
    {u"celi2(,)", u"celi2(式,数)", u"第2種 完全楕円積分"},
    {u"besselj(,)", u"besselj(式,数n)", u"ベッセル関数 Ｊ(x,n)  (n≧0)"},
    {u"bessely(,)", u"bessely(式,数n)", u"ベッセル関数 Ｙ(x,n)  (n≧0)"},
    {u"besseli(,)", u"besseli(式,数n)", u"ベッセル関数変形 Ｉ(x,n)  (n≧0)"},
    {u"besselk(,)", u"besselk(式,数n)", u"ベッセル関数変形 Ｋ(x,n)  (n≧0)"},
}};

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

const std::array<FunctionCatalogueEntry, kFunctionCatalogueSize>& FunctionCatalogue() {
  return kEntries;
}

CatalogueInsertion InsertCatalogueText(std::u16string_view text, int caret,
                                       std::u16string_view inserted) {
  const int length = static_cast<int>(text.size());
  std::size_t at = static_cast<std::size_t>(std::clamp(caret, 0, length));
  if (at > 0 && at < text.size() && IsHighSurrogate(text[at - 1]) && IsLowSurrogate(text[at])) {
    ++at;
  }

  CatalogueInsertion result;
  result.text.reserve(text.size() + inserted.size());
  result.text.append(text.substr(0, at));
  result.text.append(inserted);
  result.text.append(text.substr(at));

  // The caret goes where the first argument is typed; a template without an
  // empty first argument leaves it after the inserted text.
  int placed = static_cast<int>(at + inserted.size());
  if (inserted.find(u"()") != std::u16string_view::npos) placed -= 1;
  if (inserted.find(u"(,,)") != std::u16string_view::npos) placed -= 3;
  result.caret = placed;
  return result;
}

CatalogueInsertion InsertCatalogueEntry(std::u16string_view text, int caret, std::size_t index) {
  if (index >= kEntries.size()) {
    throw std::out_of_range("function catalogue has no entry " + std::to_string(index));
  }
  return InsertCatalogueText(text, caret, kEntries[index].inserted);
}

}  // namespace qzarn
