/* Resource identifiers, shared by vonu11xq.rc and the C++ sources. */
#ifndef VONU11XQ_RESOURCE_IDS_H
#define VONU11XQ_RESOURCE_IDS_H

#define IDI_APP        1    /* window icon: 256 (PNG) to 16 px, 32-bit */
#define IDR_BACKGROUND 101  /* RCDATA: background.jpg, 410 x 310 baseline JPEG */
#define IDB_TICK       102  /* BITMAP: tick, two 18 x 18 cells, olive transparent */
#define IDB_ABORT      103  /* BITMAP: cross, same form as the tick */

#endif
