# Layout 1: no media area. A tall talking image beside a large text column.
# Rectangles in px: left top width height, on the 800 x 600 page.
page 800 600
heading      32  24 736  56
talker       32 100 256 420
controls     32 532 256  40
subtopic    312 100 456  56
description 312 168 456 404
