# The module's layers, from the bottom: records and base, storage, protocol, ui, module. Each is a
# library whose headers are reachable only through its own include root: a folder in the build
# tree that holds one link to the layer's source folder. A target sees the roots of the layers it
# links and no others, so an include from a layer above fails to compile.
function(pellix_layer_root target)
    set(root ${CMAKE_BINARY_DIR}/layers/${target})
    file(MAKE_DIRECTORY ${root})
    foreach(folder IN LISTS ARGN)
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
endfunction()

# The platform libraries get the same kind of root: a target sees the headers of the platform
# libraries it links and no others. Each folder named is one under platform/.
function(pellix_platform_root target)
    set(root ${CMAKE_BINARY_DIR}/layers/${target})
    file(MAKE_DIRECTORY ${root})
    foreach(folder IN LISTS ARGN)
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/platform/${folder} ${root}/${folder} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
endfunction()
