#include "platform/sim/res/res_file.h"
namespace sim::res {
std::optional<ResFile> ResFile::Parse(std::span<const BYTE>) { return std::nullopt; }
std::optional<DialogTemplate> ResFile::Dialog(WORD, WORD) const { return std::nullopt; }
std::optional<MenuTemplate> ResFile::Menu(WORD, WORD) const { return std::nullopt; }
std::optional<std::u16string> ResFile::String(UINT, WORD) const { return std::nullopt; }
std::optional<IconImage> ResFile::Icon(WORD, int, int, WORD) const { return std::nullopt; }
std::optional<BitmapInfo> ResFile::Bitmap(WORD, WORD) const { return std::nullopt; }
}
