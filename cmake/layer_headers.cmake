# Sources include the project's headers by their folder: "math/vec3.h", "objects/sphere.h". The source tree
# itself is not on any library's include path. Instead each folder's headers are reached through a folder of
# links in the build tree, and a library gets that folder on its path only by declaring it here or by
# linking a library that did. So a library can include only what it links: an include of a higher layer
# (data/ including app/, objects/ including scene/) fails to compile, and the layering cannot erode quietly.

# Gives TARGET, and every target that links it, the headers directly inside FOLDER (a path from the source
# root, such as "objects" or "app/linux"); subfolders are layers of their own. SCOPE is PUBLIC, or INTERFACE
# for a library made of headers alone.
function(heliox_folder_headers target scope folder)
    string(REPLACE "/" "_" name ${folder})
    set(root ${CMAKE_BINARY_DIR}/folder_headers/${name})
    get_property(made GLOBAL PROPERTY heliox_folder_headers_made)
    if(NOT folder IN_LIST made)
        set_property(GLOBAL APPEND PROPERTY heliox_folder_headers_made ${folder})
        file(REMOVE_RECURSE ${root})
        file(MAKE_DIRECTORY ${root}/${folder})
        file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/${folder}
            ${CMAKE_SOURCE_DIR}/${folder}/*.h)
        foreach(header IN LISTS headers)
            file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder}/${header} ${root}/${folder}/${header} SYMBOLIC)
        endforeach()
    endif()
    target_include_directories(${target} ${scope} ${root})
endfunction()
