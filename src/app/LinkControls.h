// Which of the main window's controls the user may use, from the project and
// the link state. One place decides, so the buttons never disagree with the link.
#pragma once

struct LinkControls {
    bool chkOnline = false;           // a project is open (or the link is up, to go off line)
    bool mnuAProject = true;          // not while the on-line button is down
    bool mnuCConexion = false;        // a project is open
    bool mnuVer = false;              // the gateway answered with the project's protocol
    bool cmdEnviar = false;           // console commands: verified, no transfer running
    bool cboFichero = false;          // holds the file once verified
    bool cmdSendFilePilmora = false;  // verified, no transfer running
    bool mnuProyecto = false;         // history, report, editor (none for "Tester"): no transfer

    // proyecto: a project is open; estado: EstadoConexion 0..5; enLinea: the
    // on-line button is down.
    static LinkControls para(bool proyecto, int estado, bool enLinea);
};
