# Writes the page's files into one C++ source: a table of (path, MIME type, bytes) that the
# editor's server answers from. Run with cmake -P, given WEB_DIR (the page's folder) and OUT
# (the source to write), and MANUAL_DIR (the author's guide, served under manual/ as its folders
# lie: the English pages at the top, each translation in a folder named by its language).
# Hidden files and the page's own unit tests are left out.
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE files RELATIVE ${WEB_DIR} ${WEB_DIR}/*)
set(sources "")
foreach(rel ${files})
  list(APPEND sources "${rel}|${WEB_DIR}/${rel}")
endforeach()
if(MANUAL_DIR)
  file(GLOB_RECURSE manual_files RELATIVE ${MANUAL_DIR} ${MANUAL_DIR}/*)
  foreach(rel ${manual_files})
    list(APPEND sources "manual/${rel}|${MANUAL_DIR}/${rel}")
  endforeach()
endif()
list(SORT sources)

# index.html gets a modulepreload link for every module of the page, so that the browser asks
# for all of them at once instead of one level of imports after another.
set(preloads "")
foreach(entry ${sources})
  string(REGEX MATCH "^[^|]*" rel "${entry}")
  if(rel MATCHES "\\.m?js$" AND NOT rel MATCHES "(^|/)\\.|(^|/)tests?/|\\.test\\.m?js$|^manual/|^(app|boot)\\.js$")
    string(APPEND preloads "<link rel=\"modulepreload\" href=\"/web/${rel}\">\n")
  endif()
endforeach()
get_filename_component(out_dir ${OUT} DIRECTORY)
set(mime_html "text/html; charset=utf-8")
set(mime_js "text/javascript; charset=utf-8")
set(mime_mjs "text/javascript; charset=utf-8")
set(mime_css "text/css; charset=utf-8")
set(mime_json "application/json")
set(mime_svg "image/svg+xml")
set(mime_png "image/png")
set(mime_gif "image/gif")
set(mime_ico "image/x-icon")
set(mime_txt "text/plain; charset=utf-8")
set(mime_woff2 "font/woff2")

set(arrays "")
set(rows "")
set(n 0)
foreach(entry ${sources})
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 rel)
  list(GET entry 1 path)
  if(rel MATCHES "(^|/)\\." OR rel MATCHES "(^|/)tests?/" OR rel MATCHES "\\.test\\.m?js$" OR rel MATCHES "\\.md$")
    continue()
  endif()
  if(rel STREQUAL "index.html")
    file(READ ${path} page)
    string(REPLACE "<!-- modulepreload -->\n" "${preloads}" page "${page}")
    set(path ${out_dir}/editor_index.html)
    file(WRITE ${path} "${page}")
  endif()
  get_filename_component(ext ${rel} LAST_EXT)
  string(SUBSTRING "${ext}." 1 -1 ext)
  string(REGEX REPLACE "\\.$" "" ext "${ext}")
  string(TOLOWER "${ext}" ext)
  set(mime "${mime_${ext}}")
  if(mime STREQUAL "")
    set(mime "application/octet-stream")
  endif()
  file(READ ${path} hex HEX)
  string(LENGTH "${hex}" hex_len)
  math(EXPR size "${hex_len} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND arrays "const char file_${n}[] = {${bytes}0};\n")
  string(APPEND rows "    {\"${rel}\", \"${mime}\", std::string_view(file_${n}, ${size})},\n")
  math(EXPR n "${n} + 1")
endforeach()

set(text "// Generated from the page's folder by editor/embed_web.cmake; do not edit.
#include \"editor/web_assets.h\"

namespace quillet::editor {

namespace {
${arrays}
const web_asset table[] = {
${rows}    {nullptr, nullptr, {}},
};

}  // namespace

const web_asset* embedded_web_assets() { return table; }

}  // namespace quillet::editor
")
# Only a changed text touches the file, so an unchanged page compiles nothing again.
if(EXISTS ${OUT})
  file(READ ${OUT} old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE ${OUT} "${text}")
