/* c_host: a host in C. It creates the panel as the host program's form does, clicks
 * "Aktualizovat" and prints the element model. Build it with pkg-config:
 *   cc main.c $(pkg-config --cflags --libs infotrakon) -o c_host
 * or with CMake (CMakeLists.txt, find_package(InfoTrakon COMPONENTS Control)). The header is
 * <infotrakon.h> or <infotrakon/infotrakon.h>, as a host prefers. */
#include <infotrakon.h>
#include <stdio.h>

int main(void) {
    InfoTrakonPanel* panel = NULL;
    /* NULL: the Wine prefix of $WINEPREFIX, else ~/.wine. */
    int status = infotrakon_create(NULL, &panel);
    if (panel == NULL) {
        fprintf(stderr, "c_host: error %d\n", status);
        return 1;
    }
    /* The host places the panel at its design size, in twips. */
    if (status == 0) status = infotrakon_resize(panel, 8310, 5805);
    if (status == 0) status = infotrakon_click(panel, "Command2");
    if (status != 0)
        fprintf(stderr, "c_host: error %d: %s\n", status, infotrakon_last_error(panel));
    char* json = NULL;
    if (infotrakon_state_json(panel, &json) == 0) {
        fputs(json, stdout);
        infotrakon_free(json);
    }
    infotrakon_destroy(panel);
    return status == 0 ? 0 : 1;
}
