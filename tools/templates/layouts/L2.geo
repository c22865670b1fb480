# Layout 2: no description area. The talking image beside a large picture
# with its title.
# Rectangles in px: left top width height, on the 800 x 600 page.
page 800 600
heading      32  24 736  56
talker       32 100 216 420
controls     32 532 216  40
subtopic    272 100 496  48
media       272 160 496 412
