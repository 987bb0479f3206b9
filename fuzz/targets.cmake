# The fuzz targets and the layers each links; shared by the clang build
# (libFuzzer) and the main build's replay of the seeds.
set(VTOME_FUZZ_TARGETS keyed_store_fuzz contents_fuzz topic_search_fuzz user_data_fuzz settings_fuzz)
set(VTOME_FUZZ_LIBS_keyed_store_fuzz vtome_store)
set(VTOME_FUZZ_LIBS_contents_fuzz vtome_document)
set(VTOME_FUZZ_LIBS_topic_search_fuzz vtome_document)
set(VTOME_FUZZ_LIBS_user_data_fuzz vtome_annotations)
set(VTOME_FUZZ_LIBS_settings_fuzz vtome_shell)
