# Included by cpack before it builds the package (CPACK_PROJECT_CONFIG_FILE). dpkg-shlibdeps sees
# only the libraries the binaries link. Qt loads more at run time: the QML modules the app imports,
# and the files packaging/CMakeLists.txt lists. This finds the modules with qmlimportscanner and
# asks dpkg which package holds each, so the Depends line follows what is really used.
cmake_policy(VERSION 3.25)
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

# The folders of the QML modules that `files` import, where they exist on this machine. Modules
# without a folder are built into Qt or belong to other platforms (the Windows and macOS styles).
function(imported_module_dirs out)
    execute_process(
        COMMAND ${CPACK_SELVOR_QMLIMPORTSCANNER} -qmlFiles ${ARGN}
                -importPath ${CPACK_SELVOR_QML_IMPORT_PATH}
        OUTPUT_VARIABLE json ERROR_VARIABLE errors RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "qmlimportscanner failed: ${errors}")
    endif()
    set(dirs)
    string(JSON count LENGTH "${json}")
    set(i 0)
    while(i LESS count)
        string(JSON type GET "${json}" ${i} type)
        string(JSON dir ERROR_VARIABLE no_dir GET "${json}" ${i} path)
        if(type STREQUAL "module" AND NOT no_dir)
            list(APPEND dirs ${dir})
        endif()
        math(EXPR i "${i} + 1")
    endwhile()
    set(${out} ${dirs} PARENT_SCOPE)
endfunction()

# A module's own QML: its folder without the modules nested in it, except its implementation
# modules (names ending in "impl"), which its plugin loads from C++ where no import shows them.
function(module_qml_files out dir)
    file(GLOB_RECURSE files ${dir}/*.qml)
    file(GLOB_RECURSE nested_qmldirs ${dir}/*/qmldir)
    foreach(qmldir IN LISTS nested_qmldirs)
        file(STRINGS ${qmldir} module REGEX "^module " LIMIT_COUNT 1)
        if(module MATCHES "impl$")
            continue()
        endif()
        cmake_path(GET qmldir PARENT_PATH nested)
        set(kept)
        foreach(file IN LISTS files)
            cmake_path(IS_PREFIX nested ${file} inside)
            if(NOT inside)
                list(APPEND kept ${file})
            endif()
        endforeach()
        set(files ${kept})
    endforeach()
    set(${out} ${files} PARENT_SCOPE)
endfunction()

# The packages holding `paths` (file names or dpkg-query patterns); fails on any path no installed
# package holds.
function(owning_packages out)
    execute_process(COMMAND dpkg-query --search ${ARGN}
        OUTPUT_VARIABLE found ERROR_VARIABLE errors RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "no installed package holds a file the app needs: ${errors}")
    endif()
    set(packages)
    string(REGEX MATCHALL "[^\n]+" lines "${found}")
    foreach(line IN LISTS lines)
        # "package[:arch][, package[:arch]]: path"; diversion notes have no package.
        if(line MATCHES "^diversion " OR NOT line MATCHES "^([^ /][^/]*): /")
            continue()
        endif()
        string(REPLACE ", " ";" owners "${CMAKE_MATCH_1}")
        foreach(owner IN LISTS owners)
            string(REGEX REPLACE ":.*" "" owner ${owner})
            list(APPEND packages ${owner})
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES packages)
    set(${out} ${packages} PARENT_SCOPE)
endfunction()

# The app's own QML: the files its module's qmldir names.
file(STRINGS ${CPACK_SELVOR_QML_MODULE_DIR}/qmldir entries REGEX "\\.qml$")
set(app_qml)
foreach(entry IN LISTS entries)
    string(REGEX MATCH "[^ ]+\\.qml$" file "${entry}")
    list(APPEND app_qml ${CPACK_SELVOR_QML_MODULE_DIR}/${file})
endforeach()
if(NOT app_qml)
    message(FATAL_ERROR "no QML files in ${CPACK_SELVOR_QML_MODULE_DIR}/qmldir; build first")
endif()

# Every module the app imports, and what those modules import in turn.
imported_module_dirs(pending ${app_qml})
set(module_dirs)
while(pending)
    list(POP_FRONT pending dir)
    if(dir IN_LIST module_dirs)
        continue()
    endif()
    list(APPEND module_dirs ${dir})
    module_qml_files(files ${dir})
    if(files)
        imported_module_dirs(more ${files})
        list(APPEND pending ${more})
    endif()
endwhile()
if(NOT module_dirs)
    message(FATAL_ERROR "qmlimportscanner found none of the QML modules the app imports")
endif()

list(TRANSFORM module_dirs APPEND /qmldir OUTPUT_VARIABLE qmldirs)
owning_packages(runtime ${qmldirs} ${CPACK_SELVOR_RUNTIME_FILES})

# dpkg-shlibdeps (run again by CPack) lists the linked libraries' packages with versions; not twice.
file(READ ${CPACK_SELVOR_BINARIES_LIST} binaries)
cmake_path(GET CPACK_SELVOR_BINARIES_LIST PARENT_PATH work)
file(WRITE ${work}/shlibdeps/debian/control "")
execute_process(COMMAND dpkg-shlibdeps -O ${binaries} WORKING_DIRECTORY ${work}/shlibdeps
    OUTPUT_VARIABLE shlibdeps ERROR_VARIABLE errors RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "dpkg-shlibdeps failed: ${errors}")
endif()
string(REGEX REPLACE "^shlibs:Depends=|\n$" "" shlibdeps "${shlibdeps}")
string(REGEX REPLACE " *\\([^)]*\\)" "" shlibdeps "${shlibdeps}")
string(REGEX REPLACE ", | \\| " ";" linked_packages "${shlibdeps}")

list(REMOVE_ITEM runtime ${linked_packages})
list(SORT runtime)
list(JOIN runtime ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
message(STATUS "Run-time packages beyond the linked libraries: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
