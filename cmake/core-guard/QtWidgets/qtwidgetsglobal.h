// Every Qt Widgets header includes this one first. The window-free core puts
// this folder ahead of Qt's on its include path, so a core file that pulls in
// a widget stops the build here.
#error "zentora_core is window-free: widget headers belong in zentora_gui"
