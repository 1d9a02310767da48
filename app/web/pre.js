// The WebAssembly is inside the page: compiled straight from it, without the fetch of a data
// URL that emscripten would try first and the page's policy refuses.
var Module = {
  instantiateWasm(imports, receive) {
    WebAssembly.instantiate(tryParseAsDataURI(wasmBinaryFile), imports).then((r) => receive(r.instance));
    return {};
  },
};
