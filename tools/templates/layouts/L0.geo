# Layout 0: every area. The talking image and the slide's description share
# the left column; the slide's title and its picture fill the right one.
# Rectangles in px: left top width height. The 800 x 600 table is scaled for
# the other 4:3 pages; a page with other proportions has a table of its own.
page 800 600
heading      32  24 736  56
talker       32 100 216 236
description  32 348 216 172
controls     32 532 216  40
subtopic    272 100 496  48
media       272 160 496 412

# The wide 960 x 540 page.
page 960 540
heading      36  18 888  50
talker       36  84 236 200
description  36 296 236 156
controls     36 464 236  40
subtopic    300  84 624  46
media       300 142 624 362
