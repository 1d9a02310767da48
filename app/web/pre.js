// The WebAssembly is inside the page: compiled straight from it, without the fetch of a data
// URL that emscripten would try first and the page's policy refuses. Where the inlined binary
// lies differs between emscripten's versions: findWasmBinary() from 3.1.5x on, before that the
// variable wasmBinaryFile.
var Module = {
  instantiateWasm(imports, receive) {
    const file = typeof findWasmBinary === "function" ? findWasmBinary() : wasmBinaryFile;
    // The browser's own decoder where it has one: emscripten's loop runs cold, before the
    // engine has compiled it, and took most of the page's start.
    const bytes = Uint8Array.fromBase64 ? Uint8Array.fromBase64(file.slice(file.indexOf(",") + 1))
                                        : tryParseAsDataURI(file);
    // Compiled at once, in a millisecond or two at this size: the window is then built in the
    // same task, not after a round through the browser's compile threads. So page.js, which
    // the window's calls need, comes before this file's caller, as a pre-js too.
    // What emscripten keeps as the exports is what its receiver gives back, wrapped for
    // Asyncify (the bare ones would lose every wait for a box); before 3.1.5x it keeps its own.
    return receive(new WebAssembly.Instance(new WebAssembly.Module(bytes), imports));
  },
};
