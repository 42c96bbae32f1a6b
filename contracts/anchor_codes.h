/* Anchoring codes, the same for orvane.dll (QI_SetAnchorMode) and pelmar.dll
   (skSetAnchorCtrl): what a child does along each axis when its parent's
   client area changes size. KEEP keeps the left (top) margin and the size,
   FAR keeps the right (bottom) margin and the size, STRETCH keeps both
   margins, CENTRE keeps the centre at the same fraction of the extent and
   the size. Plain C. */
#ifndef ANCHOR_CODES_H
#define ANCHOR_CODES_H

/* horizontal rule, vertical rule */
enum AnchorCode {
    ANCHOR_NONE = 0,             /* removes the child's anchor */
    ANCHOR_KEEP_KEEP = 1,        /* stays (top-left) */
    ANCHOR_FAR_KEEP = 2,         /* follows the right edge */
    ANCHOR_KEEP_FAR = 3,         /* follows the bottom edge */
    ANCHOR_STRETCH_KEEP = 4,     /* stretches wide, top */
    ANCHOR_STRETCH_STRETCH = 5,  /* stretches both ways */
    ANCHOR_KEEP_STRETCH = 6,     /* stretches tall, left */
    ANCHOR_STRETCH_FAR = 7,      /* stretches wide, bottom */
    ANCHOR_FAR_STRETCH = 8,      /* stretches tall, right */
    ANCHOR_FAR_FAR = 9,          /* follows the bottom-right corner */
    ANCHOR_CENTRE_KEEP = 10,
    ANCHOR_CENTRE_CENTRE = 11,
    ANCHOR_KEEP_CENTRE = 12,
    ANCHOR_CENTRE_FAR = 13,
    ANCHOR_FAR_CENTRE = 14,
    ANCHOR_STRETCH_CENTRE = 15,
    ANCHOR_CENTRE_STRETCH = 16
};

#endif
