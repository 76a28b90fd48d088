#include <gtest/gtest.h>
#include <iconv.h>

#include <clocale>
#include <cwctype>
#include <string>

#include "names/code_page_names.h"
#include "names/encodings.h"
#include "names/name_case.h"

namespace uninstall {
namespace {

// The C library's own Unicode data as a second opinion: the table holds the simple upper-case
// mapping of every unit that maps back to it in lower case, and nothing else.
TEST(NameRulesTest, TheCaseTableIsUnicodesRoundTripUpperCase) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  int differing = 0;
  for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const auto upper = static_cast<char32_t>(std::towupper(static_cast<wint_t>(unit)));
    const bool round_trip =
        upper != unit && upper <= 0xFFFF &&
        static_cast<char32_t>(std::towlower(static_cast<wint_t>(upper))) == unit;
    const char16_t expected = static_cast<char16_t>(round_trip ? upper : unit);
    if (UpcasedNameUnit(static_cast<char16_t>(unit)) != expected && ++differing <= 5) {
      ADD_FAILURE() << "U+" << std::hex << unsigned{unit};
    }
  }
  std::setlocale(LC_CTYPE, "C");
  EXPECT_EQ(differing, 0);
  CodePageNames names(1250);
  EXPECT_TRUE(names.SameFileName(u"\u0141\u00F3d\u017A", u"\u0142\u00D3D\u0179"));
  EXPECT_FALSE(names.SameFileName(u"Stra\u00DFe", u"STRASSE"));
  EXPECT_FALSE(names.SameFileName(u"x", u"xx"));
}

// The code pages against the C library's converter, byte for byte, and back. (Its 1255 and 1258
// hold a letter back to combine it with the next; the system's never do.)
TEST(NameRulesTest, TheCodePagesAreThoseOfTheConverter) {
  for (unsigned code_page : {1250, 1251, 1252, 1253, 1254, 1256, 1257}) {
    iconv_t converter = iconv_open("UTF-16LE", ("CP" + std::to_string(code_page)).c_str());
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << code_page;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      char in = static_cast<char>(byte);
      char out[4] = {};
      char* in_at = &in;
      char* out_at = out;
      std::size_t in_left = 1, out_left = sizeof(out);
      if (iconv(converter, &in_at, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1)) {
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        continue;  // undefined in the code page: the converter and Windows differ there
      }
      const auto wide = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                              static_cast<unsigned char>(out[1]) << 8);
      EXPECT_EQ(WidenedFrom(code_page, std::string(1, in)), std::u16string(1, wide))
          << code_page << " " << byte;
      EXPECT_EQ(NarrowedTo(code_page, std::u16string(1, wide)), std::string(1, in))
          << code_page << " " << byte;
    }
    iconv_close(converter);
  }
  EXPECT_EQ(WidenedFrom(1249, "x"), u"");
  EXPECT_EQ(NarrowedTo(1252, u"\u0100"), std::nullopt);
  CodePageNames unknown(1249);
  std::u16string wide;
  EXPECT_FALSE(unknown.WidenName("x", &wide));
}

}  // namespace
}  // namespace uninstall
