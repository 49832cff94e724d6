// Creates the object whose ProgID is the first argument and exits with 3 when that worked:
// Wine's script host ends a script with an uncaught error with exit code 0, so success has a
// code of its own.
try {
    new ActiveXObject(WScript.Arguments(0));
    WScript.Quit(3);
} catch (e) {
    WScript.Echo(WScript.Arguments(0) + ": " + e.message);
    WScript.Quit(1);
}
