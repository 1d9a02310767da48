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
    WebAssembly.instantiate(bytes, imports).then((r) => receive(r.instance));
    return {};
  },
};
