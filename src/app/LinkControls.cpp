#include "LinkControls.h"

LinkControls LinkControls::para(bool proyecto, int estado, bool enLinea) {
    LinkControls c;
    const bool verificado = estado >= 2 && estado <= 4;
    // A transfer owns the line: a typed command or a second download in the
    // middle of the chunks would corrupt the file on the gateway.
    const bool libre = estado == 2;
    c.chkOnline = proyecto || enLinea;
    c.mnuAProject = !enLinea;
    c.mnuCConexion = proyecto;
    c.mnuVer = verificado;
    c.cmdEnviar = libre;
    c.cboFichero = verificado;
    c.cmdSendFilePilmora = libre;
    // The editor could write the download file while it is being sent, and the
    // history and the report would show a transfer not yet recorded.
    c.mnuProyecto = proyecto && estado != 3 && estado != 4;
    return c;
}
