// The program's Chinese texts as code page 936 bytes.
//
// Source files are UTF-8 and not every compiler used here can re-encode string
// literals (clang has no -fexec-charset), so each text is written twice: in
// UTF-8 for the reader, and as its code page 936 bytes for the program. The
// test tests/text/gbk_literals_test.cpp converts every UTF-8 spelling and
// checks it against the bytes, so the two cannot drift apart.
#pragma once

#include <string_view>

// X(name, UTF-8 spelling, code page 936 bytes)
// One text per line, however long:
// clang-format off
#define MERRAVINE_GBK_LITERALS(X) \
  X(下载, u8"下载", "\xCF\xC2\xD4\xD8") \
  X(课程地址冒号, u8"课程地址：", "\xBF\xCE\xB3\xCC\xB5\xD8\xD6\xB7\xA3\xBA") \
  X(课程名称, u8"课程名称", "\xBF\xCE\xB3\xCC\xC3\xFB\xB3\xC6") \
  X(课程地址, u8"课程地址", "\xBF\xCE\xB3\xCC\xB5\xD8\xD6\xB7") \
  X(复制, u8"复制", "\xB8\xB4\xD6\xC6") \
  X(复制选中课程, u8"复制选中课程", "\xB8\xB4\xD6\xC6\xD1\xA1\xD6\xD0\xBF\xCE\xB3\xCC") \
  X(复制全部课程, u8"复制全部课程", "\xB8\xB4\xD6\xC6\xC8\xAB\xB2\xBF\xBF\xCE\xB3\xCC") \
  X(复制选中地址, u8"复制选中地址", "\xB8\xB4\xD6\xC6\xD1\xA1\xD6\xD0\xB5\xD8\xD6\xB7") \
  X(复制全部地址, u8"复制全部地址", "\xB8\xB4\xD6\xC6\xC8\xAB\xB2\xBF\xB5\xD8\xD6\xB7") \
  X(第, u8"第", "\xB5\xDA") \
  X(课, u8"课", "\xBF\xCE") \
  X(引号标记, u8"#引号", "#\xD2\xFD\xBA\xC5") \
  X(窗口标题, u8"Merravine    Tovrela  By：quillon2090", "Merravine    Tovrela  By\xA3\xBAquillon2090") \
  X(启动提示, u8"在“课程地址”框中粘贴课程页面地址，按“下载”列出全部课程；右键点击列表可复制课程名称或地址。", "\xD4\xDA\xA1\xB0\xBF\xCE\xB3\xCC\xB5\xD8\xD6\xB7\xA1\xB1\xBF\xF2\xD6\xD0\xD5\xB3\xCC\xF9\xBF\xCE\xB3\xCC\xD2\xB3\xC3\xE6\xB5\xD8\xD6\xB7\xA3\xAC\xB0\xB4\xA1\xB0\xCF\xC2\xD4\xD8\xA1\xB1\xC1\xD0\xB3\xF6\xC8\xAB\xB2\xBF\xBF\xCE\xB3\xCC\xA3\xBB\xD3\xD2\xBC\xFC\xB5\xE3\xBB\xF7\xC1\xD0\xB1\xED\xBF\xC9\xB8\xB4\xD6\xC6\xBF\xCE\xB3\xCC\xC3\xFB\xB3\xC6\xBB\xF2\xB5\xD8\xD6\xB7\xA1\xA3")
// clang-format on

namespace merravine::gbk {

#define MERRAVINE_GBK_DECLARE(name, utf8, bytes) inline constexpr std::string_view name = bytes;
MERRAVINE_GBK_LITERALS(MERRAVINE_GBK_DECLARE)
#undef MERRAVINE_GBK_DECLARE

}  // namespace merravine::gbk
