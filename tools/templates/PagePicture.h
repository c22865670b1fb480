#pragma once
// Pictures of a page: a sketch of the page's areas in a style's palette,
// drawn for the style previews, the style thumbnails, the layout thumbnails
// and the masks of custom styles.
#include "TemplateSources.h"

#include <QImage>
#include <QSize>

namespace pavonia::stock {

struct Paint {
    QColor background1, background2, headingBand, headingPanel, heading, headingRule;
    QColor subTopic, subTopicPanel, panel, panelLine, mediaMat, sky, hill, sun;
    QColor talkerBack, talkerFigure, talkerBorder, controlsPanel, accent, accentIcon;
    QString headingFont;
    bool headingBold = false;
    int radius = 8;
};

// How a style's pictures are drawn, from its palette.
Paint paintOf(const Style& style);
// The neutral drawing of the layout thumbnails.
Paint wireframePaint();

// Draws a page of geometry `g` at `size`. With `maskMode` the page
// background is pure white and nothing else is: the mask of a custom style,
// where white lets the user's background through.
QImage drawPage(const Geometry& g, const Paint& p, QSize size, bool maskMode);

} // namespace pavonia::stock
