// Ids of the window's resources, shared by the resource script and the code.
#pragma once

#define QVL_IDS_TITLE 103
#define QVL_IDS_CLASS_NAME 136
#define QVL_IDI_ICON 107
#define QVL_IDB_SKIN 135
#define QVL_IDR_OUTLINE 136
#define QVL_IDR_TRAY_MENU 165
#define QVL_IDR_ACCELERATORS 173
#define QVL_CMD_LOCK 32798
#define QVL_CMD_EXIT 32783
#define QVL_CMD_MAXIMIZE 32785
