/*
 * Pavonia presentation page script.
 *
 * The published page loads this file and then runs, in one inline script:
 *   InitMediaLayer(left, top, width, height);   where slide media are shown
 *   AppendPageInfo(...); AppendPageInfo(...);  one call per slide, in order
 *   StartPresentation(start, autoPlay, autoLoop, autoJump);
 *
 * AppendPageInfo(talkingImage, talkingMessage, media, delay, transition,
 *                subTopic, description)
 *   talkingImage, talkingMessage: file names, given on the first slide of a
 *     session and empty on its later slides;
 *   media: the slide's picture or clip, "?" for none;
 *   delay: seconds the slide stays up when the show runs by itself;
 *   transition: number of the slide transition, -1 for none;
 *   subTopic, description: HTML text, "?" for none.
 * File names may carry a folder prefix ("deck_PVData/a.jpg" or
 * "deck_PVData\a.jpg"); both separators are read as folder separators.
 *
 * The page never reads another file's bytes from script, so it runs the same
 * when opened straight from disk and when served over HTTP.
 *
 * The talking image, its voice and lip-sync are played by the talker, an
 * object with the methods below. The one here shows the session's image
 * frame only and lets slides run by their delays; a full talker replaces it
 * with PavoniaPlayer.setTalker(object) before StartPresentation runs.
 *   enterSession(session)   a session's first slide comes up
 *   leaveSession(session)   the show moves to another session or stops
 *   pause(), resume()       the show is paused or resumed
 */
(function (global) {
    "use strict";

    var slides = [];
    var sessions = [];
    var mediaRect = { left: 0, top: 0, width: 0, height: 0 };
    var scriptBase = "";
    var state = {
        current: -1,
        playing: false,
        autoLoop: false,
        autoJump: true,
        timer: null,
        session: null,
        started: false
    };

    // Shortest time a slide stays up when the show runs by itself, so a delay
    // of 0 cannot make the slides race past unseen.
    var MIN_DELAY_MS = 500;

    // Where this script was loaded from: "loading.gif" lies beside it.
    (function () {
        var script = document.currentScript;
        if (!script) {
            var all = document.getElementsByTagName("script");
            script = all.length ? all[all.length - 1] : null;
        }
        var src = script && script.src ? script.src : "";
        var cut = src.lastIndexOf("/");
        scriptBase = cut >= 0 ? src.substring(0, cut + 1) : "";
    })();

    function isNone(value) {
        return value === undefined || value === null || value === "" || value === "?";
    }

    // A page-relative URL for a published file name.
    function fileUrl(name) {
        var parts = String(name).replace(/\\/g, "/").split("/");
        for (var i = 0; i < parts.length; ++i)
            parts[i] = encodeURIComponent(parts[i]);
        return parts.join("/");
    }

    function baseName(name) {
        var parts = String(name).replace(/\\/g, "/").split("/");
        return parts[parts.length - 1];
    }

    function extension(name) {
        var base = baseName(name);
        var dot = base.lastIndexOf(".");
        return dot >= 0 ? base.substring(dot + 1).toLowerCase() : "";
    }

    function mediaKind(name) {
        var ext = extension(name);
        if (/^(jpe?g|gif|bmp|png|webp|svg)$/.test(ext))
            return "picture";
        if (/^(mp4|m4v|webm|ogv)$/.test(ext))
            return "video";
        return "clip";
    }

    function byId(id) {
        return document.getElementById(id);
    }

    function setHidden(element, hidden) {
        if (element)
            element.style.visibility = hidden ? "hidden" : "";
    }

    // --- The calls the page makes -------------------------------------------

    function InitMediaLayer(left, top, width, height) {
        mediaRect = {
            left: Number(left) || 0,
            top: Number(top) || 0,
            width: Number(width) || 0,
            height: Number(height) || 0
        };
    }

    function AppendPageInfo(talkingImage, talkingMessage, media, delay, transition,
                            subTopic, description) {
        var startsSession = !isNone(talkingImage) || !isNone(talkingMessage) || sessions.length === 0;
        if (startsSession) {
            sessions.push({
                index: sessions.length,
                talkingImage: isNone(talkingImage) ? "" : fileUrl(talkingImage),
                talkingMessage: isNone(talkingMessage) ? "" : fileUrl(talkingMessage),
                firstSlide: slides.length
            });
        }
        var seconds = Number(delay);
        slides.push({
            index: slides.length,
            session: sessions[sessions.length - 1],
            media: isNone(media) ? "" : String(media),
            delayMs: isFinite(seconds) && seconds > 0 ? seconds * 1000 : 0,
            transition: parseInt(transition, 10),
            subTopic: isNone(subTopic) ? "" : String(subTopic),
            description: isNone(description) ? "" : String(description)
        });
    }

    // --- The talker: talking image and voice --------------------------------

    var frameTalker = {
        enterSession: function (session) {
            var area = byId("TalkerArea");
            if (area) {
                area.setAttribute("data-talking-image", session.talkingImage);
                area.setAttribute("data-talking-message", session.talkingMessage);
            }
        },
        leaveSession: function () {},
        pause: function () {},
        resume: function () {}
    };
    var talker = frameTalker;

    function setTalker(object) {
        talker = object || frameTalker;
    }

    // --- Showing a slide -----------------------------------------------------

    function placeMediaLayer() {
        var layer = byId("MediaArea");
        if (!layer)
            return;
        if (mediaRect.width <= 0 || mediaRect.height <= 0) {
            layer.style.display = "none";
            return;
        }
        layer.style.left = mediaRect.left + "px";
        layer.style.top = mediaRect.top + "px";
        layer.style.width = mediaRect.width + "px";
        layer.style.height = mediaRect.height + "px";
    }

    // A card naming a file the page cannot show itself; with `linkText`, a
    // link that opens it.
    function fileCard(name, linkText) {
        var box = document.createElement("div");
        box.className = "pv-clip";
        var icon = document.createElement("div");
        icon.className = "pv-clip-icon";
        box.appendChild(icon);
        var title = document.createElement("div");
        title.className = "pv-clip-name";
        title.textContent = baseName(name);
        box.appendChild(title);
        if (linkText) {
            var link = document.createElement("a");
            link.href = fileUrl(name);
            link.target = "_blank";
            link.textContent = linkText;
            box.appendChild(link);
        }
        return box;
    }

    function showMedia(slide) {
        var layer = byId("MediaContent") || byId("MediaArea");
        if (!layer)
            return;
        while (layer.firstChild)
            layer.removeChild(layer.firstChild);
        layer.classList.remove("pv-loading");
        if (!slide.media)
            return;
        var kind = mediaKind(slide.media);
        if (kind === "picture") {
            var picture = new Image();
            picture.className = "pv-picture";
            picture.alt = "";
            layer.classList.add("pv-loading");
            if (scriptBase)
                layer.style.backgroundImage = 'url("' + scriptBase.replace(/["\\]/g, encodeURIComponent) + 'loading.gif")';
            // A picture of a slide shown before may still arrive: only the
            // current one changes the layer.
            picture.onload = function () {
                if (picture.parentNode !== layer)
                    return;
                layer.classList.remove("pv-loading");
                layer.style.backgroundImage = "";
            };
            picture.onerror = function () {
                if (picture.parentNode !== layer)
                    return;
                layer.classList.remove("pv-loading");
                layer.style.backgroundImage = "";
                layer.removeChild(picture);
                layer.appendChild(fileCard(slide.media, ""));
            };
            picture.src = fileUrl(slide.media);
            layer.appendChild(picture);
        } else if (kind === "video") {
            var video = document.createElement("video");
            video.className = "pv-picture";
            video.src = fileUrl(slide.media);
            video.controls = true;
            video.autoplay = state.playing;
            video.muted = true;
            layer.appendChild(video);
        } else {
            layer.appendChild(fileCard(slide.media, "Open the clip"));
        }
    }

    function setHtml(id, html) {
        var element = byId(id);
        if (!element)
            return;
        element.innerHTML = html;
        var area = element.parentNode;
        if (area && area.classList)
            area.classList.toggle("pv-empty", html === "");
    }

    // Transition numbers are positions in the program's transition list
    // minus one. Every transition shows as a fade here; -1 shows at once.
    function runTransition(slide) {
        var parts = [byId("MediaArea"), byId("SubTopic"), byId("Description")];
        for (var i = 0; i < parts.length; ++i) {
            var element = parts[i];
            if (!element)
                continue;
            element.classList.remove("pv-fade");
            if (slide.transition >= 0 && state.started) {
                void element.offsetWidth; // restarts the animation
                element.classList.add("pv-fade");
            }
        }
    }

    function updateControls() {
        var counter = byId("SlideCounter");
        if (counter)
            counter.textContent = slides.length ? (state.current + 1) + " / " + slides.length : "";
        var previous = byId("PrevButton");
        var next = byId("NextButton");
        var play = byId("PlayButton");
        if (previous)
            previous.disabled = state.current <= 0 && !state.autoLoop;
        if (next)
            next.disabled = slides.length === 0 || (state.current >= slides.length - 1 && !state.autoLoop);
        if (play) {
            play.disabled = slides.length === 0;
            play.classList.toggle("pv-playing", state.playing);
            play.title = state.playing ? "Pause" : "Play";
            play.setAttribute("aria-label", play.title);
        }
        var page = byId("BGLayer");
        if (page)
            page.classList.toggle("pv-playing", state.playing);
    }

    function clearTimer() {
        if (state.timer !== null) {
            clearTimeout(state.timer);
            state.timer = null;
        }
    }

    function schedule() {
        clearTimer();
        if (!state.playing || state.current < 0)
            return;
        var slide = slides[state.current];
        state.timer = setTimeout(function () {
            state.timer = null;
            advance();
        }, Math.max(slide.delayMs, MIN_DELAY_MS));
    }

    function show(index) {
        if (!slides.length)
            return;
        index = Math.max(0, Math.min(index, slides.length - 1));
        var slide = slides[index];
        if (state.session !== slide.session) {
            if (state.session)
                talker.leaveSession(state.session);
            state.session = slide.session;
            talker.enterSession(slide.session);
        }
        state.current = index;
        setHtml("SubTopic", slide.subTopic);
        setHtml("Description", slide.description);
        showMedia(slide);
        runTransition(slide);
        updateControls();
        schedule();
    }

    // The show moves on by itself: to the next slide, round to the first
    // one when it loops, or it stops at the last slide.
    function advance() {
        if (state.current < slides.length - 1) {
            show(state.current + 1);
        } else if (state.autoLoop) {
            show(0);
        } else {
            state.playing = false;
            talker.pause();
            updateControls();
        }
    }

    function next() {
        if (state.current < slides.length - 1)
            show(state.current + 1);
        else if (state.autoLoop && slides.length)
            show(0);
    }

    function previous() {
        if (state.current > 0)
            show(state.current - 1);
        else if (state.autoLoop && slides.length)
            show(slides.length - 1);
    }

    function play() {
        if (!slides.length)
            return;
        if (state.current >= slides.length - 1 && !state.autoLoop) {
            state.playing = true;
            talker.resume();
            show(0);
            return;
        }
        state.playing = true;
        talker.resume();
        updateControls();
        schedule();
    }

    function pause() {
        state.playing = false;
        clearTimer();
        talker.pause();
        updateControls();
    }

    function togglePlay() {
        if (state.playing)
            pause();
        else
            play();
    }

    function bind(id, action) {
        var element = byId(id);
        if (element)
            element.addEventListener("click", function (event) {
                event.preventDefault();
                action();
            });
    }

    function onKey(event) {
        var target = event.target;
        if (target && /^(input|textarea|select)$/i.test(target.tagName))
            return;
        // A focused button already answers Space and Enter itself.
        if (target && /^button$/i.test(target.tagName) && (event.key === " " || event.key === "Enter"))
            return;
        switch (event.key) {
        case "ArrowRight": case "PageDown": next(); break;
        case "ArrowLeft": case "PageUp": previous(); break;
        case "Home": show(0); break;
        case "End": show(slides.length - 1); break;
        case " ": togglePlay(); break;
        default: return;
        }
        event.preventDefault();
    }

    function StartPresentation(startSlide, autoPlay, autoLoop, autoJump) {
        var begin = function () {
            if (state.started)
                return;
            state.autoJump = Number(autoJump) !== 0;
            // Looping only makes sense while the show moves on by itself.
            state.autoLoop = state.autoJump && Number(autoLoop) !== 0;
            state.playing = Number(autoPlay) !== 0 && state.autoJump;
            var heading = byId("Heading");
            if (heading && heading.textContent.replace(/\s+/g, " ").trim() !== "")
                document.title = heading.textContent.replace(/\s+/g, " ").trim();
            placeMediaLayer();
            bind("PrevButton", previous);
            bind("NextButton", next);
            bind("PlayButton", togglePlay);
            document.addEventListener("keydown", onKey);
            var page = byId("BGLayer");
            if (page)
                page.classList.toggle("pv-no-slides", slides.length === 0);
            var first = parseInt(startSlide, 10);
            show(isFinite(first) ? first : 0);
            state.started = true;
            updateControls();
        };
        if (document.readyState === "loading")
            document.addEventListener("DOMContentLoaded", begin);
        else
            begin();
    }

    global.InitMediaLayer = InitMediaLayer;
    global.AppendPageInfo = AppendPageInfo;
    global.StartPresentation = StartPresentation;
    global.PavoniaPlayer = {
        slides: slides,
        sessions: sessions,
        mediaRect: function () { return mediaRect; },
        current: function () { return state.current; },
        isPlaying: function () { return state.playing; },
        show: show,
        next: next,
        previous: previous,
        play: play,
        pause: pause,
        setTalker: setTalker,
        fileUrl: fileUrl
    };
})(window);
