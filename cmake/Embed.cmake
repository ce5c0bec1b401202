# novu_embed(<target> <mode> <asset file> <symbol>)
# Adds a generated source to <target> that holds the asset's contents as the constant <symbol>
# (see tools/embed/embed.cpp for the modes). Editing the asset file rebuilds what uses it.
function(novu_embed target mode file symbol)
  set(out "${CMAKE_BINARY_DIR}/generated/assets/${symbol}.cpp")
  file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/generated/assets")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND novu-embed ${mode} "${file}" ${symbol} "${out}"
    DEPENDS novu-embed "${file}"
    COMMENT "Embedding ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
