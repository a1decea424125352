// codepages.chl: the character-set library of the Windows code pages, the ISO-8859 family, KOI8
// and the East Asian sets. Single-byte sets are table-driven (each table read from iconv once, when
// the set is first used); multi-byte and stateful sets convert through iconv. Registration itself
// costs no iconv call.
#include <array>
#include <cstddef>
#include <memory>
#include <mutex>
#include <utility>

#include "support/charset/charset_library_abi.h"
#include "support/charset/codepages/iconv_charset.h"
#include "support/charset/codepages/single_byte_charset.h"

namespace charset {
namespace {

constexpr TPlCodePageInfo kSingleByte[] = {
    {"windows-874,cp874,874,x-cp874,ms874,dos-874", "Thai", "Thai (Windows)", "CP874"},
    {"windows-1250,cp1250,1250,x-cp1250", "Central European", "Central European (Windows)",
     "CP1250"},
    {"windows-1251,cp1251,1251,x-cp1251", "Cyrillic", "Cyrillic (Windows)", "CP1251"},
    {"windows-1252,cp1252,1252,x-cp1252", "Western European", "Western European (Windows)",
     "CP1252"},
    {"windows-1253,cp1253,1253", "Greek", "Greek (Windows)", "CP1253"},
    {"windows-1254,cp1254,1254", "Turkish", "Turkish (Windows)", "CP1254"},
    {"windows-1255,cp1255,1255", "Hebrew", "Hebrew (Windows)", "CP1255"},
    {"windows-1256,cp1256,1256", "Arabic", "Arabic (Windows)", "CP1256"},
    {"windows-1257,cp1257,1257", "Baltic", "Baltic (Windows)", "CP1257"},
    {"windows-1258,cp1258,1258", "Vietnamese", "Vietnamese (Windows)", "CP1258"},
    {"iso-8859-2,iso8859-2,iso_8859-2,iso_8859-2:1987,iso-ir-101,latin2,l2,csisolatin2,28592",
     "Central European", "Central European (ISO)", "ISO-8859-2"},
    {"iso-8859-3,iso8859-3,iso_8859-3,iso_8859-3:1988,iso-ir-109,latin3,l3,csisolatin3,28593",
     "Southern European", "Latin 3 (ISO)", "ISO-8859-3"},
    {"iso-8859-4,iso8859-4,iso_8859-4,iso_8859-4:1988,iso-ir-110,latin4,l4,csisolatin4,28594",
     "Baltic", "Baltic (ISO)", "ISO-8859-4"},
    {"iso-8859-5,iso8859-5,iso_8859-5,iso_8859-5:1988,iso-ir-144,cyrillic,csisolatincyrillic,28595",
     "Cyrillic", "Cyrillic (ISO)", "ISO-8859-5"},
    {"iso-8859-6,iso8859-6,iso_8859-6,iso_8859-6:1987,iso-ir-127,arabic,csisolatinarabic,ecma-114,"
     "asmo-708,28596",
     "Arabic", "Arabic (ISO)", "ISO-8859-6"},
    {"iso-8859-7,iso8859-7,iso_8859-7,iso_8859-7:1987,iso-ir-126,greek,greek8,csisolatingreek,"
     "ecma-118,elot_928,28597",
     "Greek", "Greek (ISO)", "ISO-8859-7"},
    {"iso-8859-8,iso8859-8,iso_8859-8,iso_8859-8:1988,iso-ir-138,hebrew,csisolatinhebrew,"
     "iso-8859-8-i,iso_8859-8-i,csiso88598i,28598,38598",
     "Hebrew", "Hebrew (ISO)", "ISO-8859-8"},
    {"iso-8859-9,iso8859-9,iso_8859-9,iso_8859-9:1989,iso-ir-148,latin5,l5,csisolatin5,28599",
     "Turkish", "Turkish (ISO)", "ISO-8859-9"},
    {"iso-8859-10,iso8859-10,iso_8859-10,iso_8859-10:1992,iso-ir-157,latin6,l6,csisolatin6",
     "Nordic", "Nordic (ISO)", "ISO-8859-10"},
    {"iso-8859-11,iso8859-11,iso_8859-11,tis-620,tis620", "Thai", "Thai (ISO)", "ISO-8859-11"},
    {"iso-8859-13,iso8859-13,iso_8859-13,latin7,l7,28603", "Baltic", "Estonian (ISO)",
     "ISO-8859-13"},
    {"iso-8859-14,iso8859-14,iso_8859-14,iso-ir-199,latin8,l8,iso-celtic", "Celtic", "Celtic (ISO)",
     "ISO-8859-14"},
    {"iso-8859-15,iso8859-15,iso_8859-15,latin-9,latin9,l9,csisolatin9,28605", "Western European",
     "Latin 9 (ISO)", "ISO-8859-15"},
    {"iso-8859-16,iso8859-16,iso_8859-16,iso-ir-226,latin10,l10", "South-Eastern European",
     "South-Eastern European (ISO)", "ISO-8859-16"},
    {"koi8-r,koi8r,cskoi8r,koi,koi8,20866", "Cyrillic", "Cyrillic (KOI8-R)", "KOI8-R"},
    {"koi8-u,koi8u,koi8-ru,21866", "Cyrillic", "Cyrillic (KOI8-U)", "KOI8-U"},
};

constexpr TPlCodePageInfo kMultiByte[] = {
    {"shift_jis,sjis,shift-jis,ms_kanji,csshiftjis,x-sjis,windows-31j,cp932,932", "Japanese",
     "Japanese (Shift-JIS)", "CP932"},
    {"gb2312,gbk,cp936,936,csgb2312,x-gbk,windows-936,euc-cn,x-euc-cn,chinese,gb_2312-80,"
     "iso-ir-58,csiso58gb231280",
     "Chinese Simplified", "Chinese Simplified (GB2312)", "CP936"},
    {"ks_c_5601-1987,euc-kr,cp949,949,ks_c_5601,ks_c_5601-1989,ksc5601,ksc_5601,korean,"
     "csksc56011987,iso-ir-149,uhc,windows-949,cseuckr",
     "Korean", "Korean", "CP949"},
    {"big5,cp950,950,csbig5,x-x-big5,windows-950", "Chinese Traditional",
     "Chinese Traditional (Big5)", "CP950"},
    {"euc-jp,eucjp,x-euc-jp,cseucpkdfmtjapanese,51932,20932", "Japanese", "Japanese (EUC)",
     "EUC-JP"},
    {"iso-2022-jp,csiso2022jp,50220,50221,50222", "Japanese", "Japanese (JIS)", "ISO-2022-JP"},
    {"gb18030,54936", "Chinese Simplified", "Chinese Simplified (GB18030)", "GB18030"},
};

constexpr std::size_t kSingleByteCount = std::size(kSingleByte);
constexpr std::size_t kMultiByteCount = std::size(kMultiByte);

// The table of a single-byte set, read from iconv when the first instance is made.
struct LazyTable {
  std::once_flag once;
  std::unique_ptr<TPlSingleByteTable> table;
};

std::array<LazyTable, kSingleByteCount>& Tables() {
  static std::array<LazyTable, kSingleByteCount> tables;
  return tables;
}

// A factory takes no argument, so each set gets its own instantiation. A factory returns nullptr
// when iconv does not know the set on this system; the program then reads it as ISO-8859-1.
template <std::size_t I>
TPlCharset* MakeSingleByte() {
  LazyTable& lazy = Tables()[I];
  std::call_once(lazy.once, [&lazy] {
    lazy.table = TPlSingleByteTable::FromIconv(kSingleByte[I].iconv_name);
  });
  return lazy.table ? new TPlSingleByteCharset(kSingleByte[I], *lazy.table) : nullptr;
}

template <std::size_t I>
TPlCharset* MakeMultiByte() {
  static const bool available = TPlIconvCharset::Available(kMultiByte[I].iconv_name);
  return available ? new TPlIconvCharset(kMultiByte[I]) : nullptr;
}

template <std::size_t... I>
constexpr std::array<PlCharsetFactory, sizeof...(I)> SingleByteFactories(
    std::index_sequence<I...>) {
  return {MakeSingleByte<I>...};
}

template <std::size_t... I>
constexpr std::array<PlCharsetFactory, sizeof...(I)> MultiByteFactories(std::index_sequence<I...>) {
  return {MakeMultiByte<I>...};
}

void Register(const TPlCodePageInfo& info, PlCharsetFactory factory,
              PlRegisterCharset register_charset, void* host) {
  register_charset(host, info.aliases, info.category, info.description, factory);
}

void RegisterAll(PlRegisterCharset register_charset, void* host) {
  constexpr auto single_byte = SingleByteFactories(std::make_index_sequence<kSingleByteCount>());
  for (std::size_t i = 0; i < kSingleByteCount; ++i) {
    Register(kSingleByte[i], single_byte[i], register_charset, host);
  }
  constexpr auto multi_byte = MultiByteFactories(std::make_index_sequence<kMultiByteCount>());
  for (std::size_t i = 0; i < kMultiByteCount; ++i) {
    Register(kMultiByte[i], multi_byte[i], register_charset, host);
  }
}

}  // namespace
}  // namespace charset

extern "C" PL_CHARSET_LIBRARY_EXPORT void RegisterCharsetLibrary(std::uint32_t abi_version,
                                                                 PlRegisterCharset register_charset,
                                                                 void* host) {
  if (abi_version != charset::kPlCharsetLibraryAbiVersion || !register_charset) return;
  charset::RegisterAll(register_charset, host);
}
