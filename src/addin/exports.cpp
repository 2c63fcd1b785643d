// placeholder, replaced by the component frame
