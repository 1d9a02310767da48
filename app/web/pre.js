// The WebAssembly is inside the page: compiled straight from it, without the fetch of a data
// URL that emscripten would try first and the page's policy refuses. Where the inlined binary
// lies differs between emscripten's versions: findWasmBinary() from 3.1.5x on, before that the
// variable wasmBinaryFile.
var Module = {
  instantiateWasm(imports, receive) {
    const file = typeof findWasmBinary === "function" ? findWasmBinary() : wasmBinaryFile;
    WebAssembly.instantiate(tryParseAsDataURI(file), imports).then((r) => receive(r.instance));
    return {};
  },
};
