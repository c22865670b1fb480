#pragma once
// The three layer flags of the current layout: whether the layout shows the
// sub-topic area, the description area and the media area ("EffectLayer").
// Each is 1 until a layout ini says otherwise. The document holds one and
// refreshes it whenever the layout number changes; the tree commands, the main
// window, the style page and publishing read it.

namespace pavonia {

struct LayoutLayers {
    int subTopic = 1;
    int description = 1;
    int effect = 1; // 0: slide media are not published

    bool operator==(const LayoutLayers&) const = default;
};

} // namespace pavonia
