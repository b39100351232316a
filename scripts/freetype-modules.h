/* The FreeType modules the browser build registers, in place of FreeType's
 * own list (include/freetype/config/ftmodule.h). The game opens one TrueType
 * font through SDL2_ttf: the TrueType driver and the SFNT tables, the
 * auto-hinter and glyph names it may ask for, and the renderers of its two
 * text modes: anti-aliased (smooth) and one bit a pixel (raster1).
 * Modules left out are never referenced, and the linker drops their code. */
FT_USE_MODULE(FT_Module_Class, autofit_module_class)
FT_USE_MODULE(FT_Driver_ClassRec, tt_driver_class)
FT_USE_MODULE(FT_Module_Class, psnames_module_class)
FT_USE_MODULE(FT_Module_Class, sfnt_module_class)
FT_USE_MODULE(FT_Renderer_Class, ft_smooth_renderer_class)
FT_USE_MODULE(FT_Renderer_Class, ft_raster1_renderer_class)
