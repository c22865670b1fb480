# Layout 3: a large media area. The picture takes most of the page; the
# talking image, the description and the buttons sit in a narrow column.
# Rectangles in px: left top width height, on the 800 x 600 page.
page 800 600
heading      32  24 736  56
subtopic     32 100 560  44
media        32 152 560 420
talker      616 100 152 188
description 616 300 152 220
controls    616 532 152  40
