#pragma once
// What a content album shows: talking images or talking messages.
#include <string>

namespace pavonia {

// The numbers are the album's content kinds: 0 talking image, 1 talking message.
enum class AlbumKind { Images = 0, Messages = 1 };

// ".tjm" or ".tps".
inline std::string albumExtension(AlbumKind kind) { return kind == AlbumKind::Images ? ".tjm" : ".tps"; }

} // namespace pavonia
