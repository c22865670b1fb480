# Layout 3: a large media area. The picture takes most of the page; the
# talking image, the description and the buttons sit in a narrow column.
# Rectangles in px: left top width height, on the 800 x 600 page.
page 800 600
heading      32  24 736  56
subtopic     32 100 528  44
media        32 152 528 420
talker      584 100 184 196
description 584 308 184 212
controls    584 532 184  40
