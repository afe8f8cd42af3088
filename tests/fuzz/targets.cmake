# The fuzz targets, one per file fuzz_<name>.cpp with its corpus in corpus/<name>; read by the fuzz
# project, by the corpus replay of the main build and by tests/fuzz/run (keep it on one line).
set(FUZZ_TARGETS fuzz_settings fuzz_ini fuzz_text_codec fuzz_keyword fuzz_layout_tag fuzz_update_version fuzz_host_overrides fuzz_engine_addresses fuzz_engine_list)
