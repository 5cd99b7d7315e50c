/* Resource ids that the resource script and the plug-in's code share. Plain C macros: the
   resource compiler's preprocessor reads this file too. */
#ifndef QUILLMARK_RESOURCE_IDS_H
#define QUILLMARK_RESOURCE_IDS_H

#define QUILLMARK_PIPL_ID 16000

#define QUILLMARK_ABOUT_DIALOG_ID 16050
#define QUILLMARK_ERROR_DIALOG_ID 16051

/* String n of the error list is the string-table entry QUILLMARK_ERROR_STRING_LIST_ID + n. */
#define QUILLMARK_ERROR_STRING_LIST_ID 16050

/* Items of the dialogs. */
#define QUILLMARK_OK_ITEM 1
#define QUILLMARK_ERROR_MESSAGE_ITEM 2
#define QUILLMARK_ERROR_CODE_ITEM 3
#define QUILLMARK_ERROR_ICON_FRAME_ITEM 4

#endif
