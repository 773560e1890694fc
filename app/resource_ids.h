// Resource ids: the one list that the resource script, the linked-in data of
// the other platforms and the code all use.
#pragma once

#define IDI_APP 1          // the application icon, a maple leaf (first: Explorer shows it)
#define IDS_DESCRIPTION 1  // the saver's name in the display settings
#define IDI_MUSHROOM_FIRST 101
#define IDI_MUSHROOM_LAST 140
#define IDI_LEAF_FIRST 141
#define IDI_LEAF_LAST 190
#define IDB_GRADIENT_BLUE 102
#define IDB_GRADIENT_BROWN 103
#define IDB_PREVIEW 201     // the 256 x 192 still picture of the scene
#define IDB_ABOUT_DISK 202  // the about box's floppy disk, 356 x 330
#define IDI_EMBLEM 203      // the about box's emblem
#define IDI_GLOBE 204       // the settings dialog's web button
#define IDI_SMILE 205       // the settings dialog's info button
#define IDR_MANIFEST 1
