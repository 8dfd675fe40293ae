/* The information panel for hosts in other languages. Every call returns 0 on success or
 * the number of the error that stopped it; infotrakon_last_error gives its message. All
 * texts are UTF-8. Calls come from one thread, the one that created the panel. */
#ifndef INFOTRAKON_C_H
#define INFOTRAKON_C_H

#include "infotrakon_version.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct InfoTrakonPanel InfoTrakonPanel;

/* Creates the panel for a host in the Wine prefix `wine_prefix` (NULL: $WINEPREFIX, else
 * ~/.wine) and runs its start-up. When the start-up fails the panel is still created, as the
 * failed step left it: *panel is set and the error's number returned. */
int infotrakon_create(const char* wine_prefix, InfoTrakonPanel** panel);
/* As infotrakon_create, with the host's settings read from `settings_file` (a Wine system.reg
 * or a regedit export; NULL: system.reg of the prefix) and today pinned to `today`
 * ("YYYY-MM-DD"; NULL: the system's date). */
int infotrakon_create_ex(const char* settings_file, const char* wine_prefix, const char* today,
                         InfoTrakonPanel** panel);
void infotrakon_destroy(InfoTrakonPanel* panel);

/* The message of the last error of this panel ("" if none). Valid until the next call. */
const char* infotrakon_last_error(const InfoTrakonPanel* panel);

/* A click of the named element (Command2, Option1 .. Option4, Combo2). */
int infotrakon_click(InfoTrakonPanel* panel, const char* element);
/* The user's choice of item `index` (from 0) of the named combo box. */
int infotrakon_choose_item(InfoTrakonPanel* panel, const char* element, int index);
/* The host's new size of the panel, in twips. */
int infotrakon_resize(InfoTrakonPanel* panel, float width, float height);

/* The public method FileExists: *result is -1 (true) or 0 (false). */
int infotrakon_file_exists(InfoTrakonPanel* panel, const char* path, short* result);
/* A call by dispatch identifier with one text argument; 0x60030003 is FileExists. Any other
 * identifier gives the platform's "member not found" status. */
int infotrakon_invoke(InfoTrakonPanel* panel, long dispatch_id, const char* argument,
                      short* result);

/* The whole element model as `infotrakon print --json` prints it, with the last error of this
 * panel, as UTF-8 JSON in *json; free it with infotrakon_free. */
int infotrakon_state_json(const InfoTrakonPanel* panel, char** json);
/* Frees what a call of this interface gave to free. */
void infotrakon_free(void* memory);

/* The identities a host knows the control by: "TypeLibrary", "TypeLibraryId",
 * "TypeLibraryVersion", "Class", "ClassId", "DefaultInterface", "DefaultInterfaceId",
 * "EventInterface", "EventInterfaceId", "Version"; NULL for any other item. */
const char* infotrakon_identity(const char* item);
/* The members of the event interface: none, the control raises no events. */
int infotrakon_event_member_count(void);

#ifdef __cplusplus
}
#endif

#endif
