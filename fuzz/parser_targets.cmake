# Every parser's fuzz target and the libraries it reaches, listed once: fuzz/ builds them for libFuzzer and
# tests/fuzz as replays of their kept corpora. `action` is called as action(TARGET LIBRARIES...).
macro(heliox_each_parser_fuzz_target action)
    cmake_language(CALL ${action} archive_fuzzer heliox_data)
    cmake_language(CALL ${action} unpacker_fuzzer heliox_data)
    # The picture decoders, on a member's bytes.
    cmake_language(CALL ${action} tga_fuzzer heliox_images heliox_base)
    cmake_language(CALL ${action} jpeg_fuzzer heliox_images heliox_base)
    # Mesh files and the scripts of a show. Without a GL context the display-list calls the loaders make go
    # to the GL dispatcher's no-op stubs, so the parsers can be fuzzed on their own.
    cmake_language(CALL ${action} mesh_fuzzer heliox_objects)
    cmake_language(CALL ${action} script_fuzzer heliox_scene heliox_objects sdd_archive)
endmacro()
